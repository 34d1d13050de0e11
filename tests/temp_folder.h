#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace varidac {

class TempFolder {
public:
    // Made new, never taken over: two test processes started together (as
    // ctest -j does) must not share a folder, whatever the random source
    // gives them; the clock tells them apart where it does not.
    TempFolder() {
        std::random_device seed;
        const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        for (unsigned attempt = 0;; ++attempt) {
            path_ = std::filesystem::temp_directory_path() /
                    ("varidac-test-" + std::to_string(seed()) + "-" + std::to_string(ticks) + "-" + std::to_string(attempt));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return (path_ / name).string();
    }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace varidac
