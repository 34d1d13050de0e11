#pragma once
// The voltage messages as the user must see them, shared by the "Read File"
// and "Start Filler" tests: both commands show the very same boxes.
#include "tests/form/recording_platform.h"

namespace varidac::testing {

inline const RecordedMessage kEndVoltage{"Error !", MessageIcon::Error,
                                         "Something is wrong!  \rD/A EndVoltage must be at least \r"
                                         "0.25V larger than the 1600-Voltage  \rCorrect the settings and reload input file  \r"};
inline const RecordedMessage kStartVoltage{"Error !", MessageIcon::Error,
                                           "Something is wrong!   \rD/A StartVoltage must be at least\r"
                                           "0.25V lower than the 600-Voltage  \rCorrect the settings and reload input file  \r"};

}  // namespace varidac::testing
