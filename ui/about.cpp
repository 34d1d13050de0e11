#include "ui/about.h"

#include "varidac_version.h"

namespace varidac {

std::string aboutText() { return "Varidac EPROM filler\nVersion " VARIDAC_VERSION "\n\n" VARIDAC_LICENSE_NOTICE; }

}  // namespace varidac
