// "Read File" then "Start Filler" on a fuzzed list with fuzzed voltage texts,
// EPROM type and decimal sign, optionally with a write or rename that fails.
// The run must refuse with one of the known messages and touch nothing, or
// write an image of 8192 codes per copy with 0500H = 00H and 1700H = FFH and
// a report of exactly 1015 lines; a failing disk must leave the earlier
// outputs as they were and no temporary file behind. The curve's drawing,
// of any list read and of any image written, stays inside its picture.
//
// Input: START "\n" END "\n" OPTIONS LIST, where the OPTIONS byte holds the
// EPROM type (bits 0-1), the decimal sign (bit 2: ",") and the fault (bits
// 3-5: 1 the report's write, 2 the image's write, 3 the report's rename,
// 4 the image's rename, 5 the image's rename and putting the earlier report
// back fail; other values none). "0" is 27C64, "." and no fault.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/curve_plot.h"
#include "core/da_codes.h"
#include "core/filler_run.h"
#include "core/image_file.h"
#include "core/number_text.h"
#include "core/output_files.h"
#include "core/svg_writer.h"
#include "core/tuning_list.h"
#include "core/voltage_checks.h"
#include "fuzz_checks.h"

using namespace varidac;
using varidac::fuzz::require;
namespace fs = std::filesystem;

namespace {

constexpr const char* kEarlierReport = "earlier report\r\n";
constexpr const char* kEarlierImage = "earlier image";

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    require(out.good(), "the harness can write its scratch files", path);
}

// One scratch folder per process, on a RAM disk when there is one: the
// list, the earlier report and an earlier image for each EPROM type.
struct Scratch {
    std::string folder;
    std::string list;
    std::set<std::string> names;

    Scratch() {
        fs::path base = access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
        removeLeftovers(base);
        folder = (base / ("varidac-fuzz-" + std::to_string(getpid()))).string();
        std::error_code ec;
        fs::remove_all(folder, ec);
        require(fs::create_directory(folder, ec), "the harness can make its folder", folder);
        list = folder + "/LIST.INF";
        names.insert("LIST.INF");
        writeAll(report(), kEarlierReport);
        names.insert("LIST_test_DA.TXT");
        for (auto type : kEpromTypes) {
            writeAll(image(type), kEarlierImage);
            names.insert("LIST_" + std::string(type) + ".BIN");
        }
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    // Folders of processes that ended without cleaning up: a crash, or a
    // worker stopped in fork mode.
    static void removeLeftovers(const fs::path& base) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(base, ec)) {
            std::string name = entry.path().filename().string();
            if (name.rfind("varidac-fuzz-", 0) != 0) continue;
            long pid = std::strtol(name.c_str() + 13, nullptr, 10);
            if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) fs::remove_all(entry.path(), ec);
        }
    }
    std::string report() const { return folder + "/LIST_test_DA.TXT"; }
    std::string image(std::string_view type) const { return folder + "/LIST_" + std::string(type) + ".BIN"; }
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

struct Fault {
    int kind = 0;  // 1..5 as in the input format, 0 none
    int writes = 0;
    int renames = 0;
};

FileSystemCalls callsWith(Fault& fault) {
    return FileSystemCalls{
        [&fault](std::FILE* file, const std::string& bytes) {
            ++fault.writes;
            if ((fault.kind == 1 && fault.writes == 1) || (fault.kind == 2 && fault.writes == 2)) {
                errno = ENOSPC;
                return -1;
            }
            // No fsync: this is a RAM disk, and speed matters here.
            if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) return -1;
            return std::fflush(file) == 0 ? 0 : -1;
        },
        [&fault](const std::string& from, const std::string& to) {
            ++fault.renames;
            if ((fault.kind == 3 && fault.renames == 1) || (fault.kind == 4 && fault.renames == 2) ||
                (fault.kind == 5 && fault.renames >= 2)) {
                errno = EACCES;
                return -1;
            }
            return std::rename(from.c_str(), to.c_str());
        },
    };
}

std::string hexText(int code) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(code));
    return buf;
}

std::size_t bcd(int frequency) {
    return static_cast<std::size_t>((frequency / 1000) * 0x1000 + (frequency / 100 % 10) * 0x100 + (frequency / 10 % 10) * 0x10 +
                                    frequency % 10);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", at)) {
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    require(at == text.size(), "the report ends with a line end");
    return lines;
}

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::size_t at = line.find_first_not_of(' ');
    while (at != std::string::npos) {
        std::size_t end = line.find(' ', at);
        out.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? end : line.find_first_not_of(' ', end);
    }
    return out;
}

void checkImage(const TuningState& state, const std::string& bytes, int copies) {
    require(bytes.size() == kImageSize * static_cast<std::size_t>(copies), "the image has 8192 bytes per copy");
    for (std::size_t i = 0; i < kImageSize; ++i) {
        int16_t element = state.EpromImage[i];
        require(element >= 0 && element <= 255, "every element is a byte");
        for (int c = 0; c < copies; ++c) {
            require(static_cast<unsigned char>(bytes[c * kImageSize + i]) == element, "every copy holds the image");
        }
    }
    const auto& image = state.EpromImage;
    require(image[0x0500] == 0x00 && image[0x1700] == 0xFF, "0500H holds 00H and 1700H holds FFH");
    std::vector<bool> used(kImageSize, false);
    for (int f = 500; f <= 1700; ++f) used[bcd(f)] = true;
    for (std::size_t i = 0; i < kImageSize; ++i) {
        if (!used[i]) require(image[i] == 0xFF, "addresses that are no frequency hold FFH");
    }
    for (int f = 501; f <= 599; ++f) require(image[bcd(f)] == image[0x0600], "501 to 599 kHz repeat 600 kHz");
    for (int f = 1601; f <= 1699; ++f) require(image[bcd(f)] == image[0x1600], "1601 to 1699 kHz repeat 1600 kHz");
}

void checkReport(const TuningState& state, const std::string& text) {
    std::vector<std::string> lines = splitLines(text);
    require(lines.size() == 1015, "the report has exactly 1015 lines", std::to_string(lines.size()));
    for (const auto& line : lines) {
        require(fuzz::isPrintableAscii(line), "report lines are printable ASCII", line);
        require(line.find("INF") == std::string::npos && line.find("NaN") == std::string::npos, "no infinity or NaN in the report", line);
    }
    require(lines[0] == "Start voltage outside D/A range = " + numberText(state.StartVoltage) + " Volt", "line 1", lines[0]);
    require(lines[3] == "End voltage outside D/A range = " + numberText(state.EndVoltage) + " Volt", "line 4", lines[3]);
    std::string step = numberText(roundedStep(state.VoltageStep));
    if (step[0] == ' ') step.erase(0, 1);
    require(lines[6] == "Calculated 255 D/A steps = 0" + step + " Volt", "line 7", lines[6]);
    for (int f = 600; f <= 1600; ++f) {
        const std::string& row = lines[static_cast<std::size_t>(14 + f - 600)];
        std::vector<std::string> w = words(row);
        int code = state.EpromImage[bcd(f)];
        require(w.size() == 5, "a row has five fields", row);
        require(w[0] == std::to_string(f) && w[2] == std::to_string(code) && w[3] == hexText(code),
                "a row shows its frequency and the code stored for it", row);
    }
}

// Every primitive inside the picture, and an SVG without a non-number in it.
void checkDrawing(const TuningState& state, const std::array<int16_t, kImageSize>* image) {
    Drawing drawing = curvePlot(CurvePlotInput{state, true, image});
    auto inside = [&](Point p) {
        require(p.x >= 0 && p.x <= drawing.width && p.y >= 0 && p.y <= drawing.height, "the drawing stays inside its picture",
                std::to_string(p.x) + "," + std::to_string(p.y));
    };
    std::size_t circles = 0;
    for (const Primitive& primitive : drawing.primitives) {
        if (auto* c = std::get_if<Circle>(&primitive)) {
            inside(c->centre);
            circles += c->role == Role::ListPoint;
        }
        if (auto* t = std::get_if<Text>(&primitive)) inside(t->at);
        if (auto* l = std::get_if<Line>(&primitive)) {
            inside(l->from);
            inside(l->to);
        }
        if (auto* r = std::get_if<Rectangle>(&primitive)) {
            inside(r->topLeft);
            inside({r->topLeft.x + r->width, r->topLeft.y + r->height});
        }
        if (auto* p = std::get_if<Polyline>(&primitive)) {
            for (Point point : p->points) inside(point);
        }
    }
    require(circles == 11, "the drawing has the 11 list points");
    std::string svg = svgDocument(drawing);
    require(svg.find("nan") == std::string::npos && svg.find("inf") == std::string::npos, "the SVG holds numbers only");
}

void checkUntouched(const Scratch& s) {
    require(readAll(s.report()) == kEarlierReport, "the earlier report is kept");
    for (auto type : kEpromTypes) require(readAll(s.image(type)) == kEarlierImage, "the earlier images are kept");
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t n1 = input.find('\n');
    std::string_view start = input.substr(0, n1);
    std::string_view rest = n1 == std::string_view::npos ? std::string_view{} : input.substr(n1 + 1);
    std::size_t n2 = rest.find('\n');
    std::string_view end = rest.substr(0, n2);
    rest = n2 == std::string_view::npos ? std::string_view{} : rest.substr(n2 + 1);
    unsigned char options = rest.empty() ? '0' : static_cast<unsigned char>(rest[0]);
    std::string_view listText = rest.empty() ? rest : rest.substr(1);
    int type = options & 3;
    char decimalSign = (options & 4) ? ',' : '.';
    Fault fault;
    fault.kind = (options >> 3) & 7;
    if (fault.kind > 5) fault.kind = 0;

    Scratch& s = scratch();
    writeAll(s.list, listText);

    // The window after start-up, with the texts typed and the type chosen.
    TuningState state;
    loadStartupValues(state, "/nowhere");
    std::string stepShown = recomputeVoltages(state, start, end);
    selectEpromType(state, static_cast<int16_t>(type));
    require(stepShown == kStepTooLarge || (stepShown[0] == '0' && stepShown.find_first_not_of("0123456789.") == std::string::npos),
            "the step field shows digits or \"too large\"", stepShown);

    if (auto refused = readTuningList(state, s.list)) {
        fuzz::requireKnownListMessage(*refused, listText);
        require(state.pad == "/nowhere" && state.alleendenaam == kStartupName, "a refused list changes nothing");
        return 0;
    }
    require(state.pad == s.folder && state.alleendenaam == "LIST" && state.naamzonderpad == "LIST.INF", "the outputs are named after the list");
    checkDrawing(state, nullptr);
    for (const Message& warning : voltageWarnings(state, start, end)) {
        require(warning == endVoltageMessage() || warning == startVoltageMessage(), "warnings are the margin messages");
    }

    const TuningState before = state;
    Message result = fillerRun(state, start, end, decimalSign, callsWith(fault));
    fuzz::requireReadable(result);

    // The checks come first, in their order, each with its own message.
    double top = before.UvarTable[16];
    std::optional<Message> expectedRefusal;
    if (!(top > 7.0 && top < 15.0)) {
        expectedRefusal = tuningListMessage();
    } else if (top + 0.25 >= readNumber(end)) {
        expectedRefusal = endVoltageMessage();
    } else if (before.UvarTable[6] - 0.25 <= readNumber(start)) {
        expectedRefusal = startVoltageMessage();
    } else if (!stepShowable(before.VoltageStep)) {
        expectedRefusal = voltageTooLargeMessage();
    }
    if (expectedRefusal) require(result == *expectedRefusal, "the first failing check speaks", result.text());

    bool outOfRange = result.lines.size() == 3 && fuzz::startsWith(result.lines[1], "D/A code outside 00H to FFH at ");
    if (expectedRefusal || outOfRange) {
        if (outOfRange) {
            int f = std::atoi(result.lines[1].c_str() + 31);
            require(f >= 600 && f <= 1600 && result == codeOutOfRangeMessage(f), "the code message names a frequency", result.text());
        }
        require(fault.writes == 0 && fault.renames == 0, "a refused run writes nothing");
        require(state.EpromImage == before.EpromImage && state.Freq == before.Freq, "a refused run changes no state");
        return 0;
    }

    std::string imagePath = s.image(state.epromtype);
    if (result.title == "Run OK!") {
        require(fault.kind == 0, "an injected fault is never ignored");
        require(result == successMessage(state), "the success message names the image", result.text());
        checkImage(state, readAll(imagePath), imageCopies(state));
        checkReport(state, readAll(s.report()));
        checkDrawing(state, &state.EpromImage);
        require(namesIn(s.folder) == s.names, "no temporary file is left");
        writeAll(s.report(), kEarlierReport);
        writeAll(imagePath, kEarlierImage);
        return 0;
    }

    require(fault.kind != 0, "without a fault the run succeeds or refuses", result.text());
    std::string failing = (fault.kind == 1 || fault.kind == 3) ? s.report() : imagePath;
    int error = fault.kind <= 2 ? ENOSPC : EACCES;
    Message expected = cannotWriteMessage(failing, error);
    if (fault.kind == 5) {
        // The new report stays in place; the earlier one is kept and named.
        require(result.lines.size() == 4, "the message says where the earlier report is", result.text());
        std::string prefix = "The earlier file is kept as " + s.folder + "/~varidac-";
        require(fuzz::startsWith(result.lines[3], prefix) && fuzz::endsWith(result.lines[3], ".old  "), "the kept file is named", result.text());
        std::string kept = result.lines[3].substr(28, result.lines[3].size() - 30);
        require(readAll(kept) == kEarlierReport, "the earlier report is kept whole");
        std::remove(kept.c_str());
        writeAll(s.report(), kEarlierReport);
        expected.lines.push_back(result.lines[3]);
    }
    require(result == expected, "a failing disk is named", result.text());
    checkUntouched(s);
    require(namesIn(s.folder) == s.names, "no temporary file is left");
    return 0;
}
