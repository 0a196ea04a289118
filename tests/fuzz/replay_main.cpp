// Runs a fuzz target over files instead of under libFuzzer: every file named on the command
// line, and every file below every folder named, is given to LLVMFuzzerTestOneInput once.
// Builds without libFuzzer use it to replay the seeds and the inputs of fixed findings; a
// crash shows up as the sanitizer's report, an escaped exception as an abort.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(path))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else if (std::filesystem::is_regular_file(path)) {
      files.push_back(path);
    } else {
      std::cerr << "no such file or folder: " << path << "\n";
      return 2;
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::cerr << "no inputs to replay\n";
    return 2;
  }
  for (const auto& file : files) {
    const std::string bytes = readFile(file);
    // A copy of exactly the file's size, so that a read past the end is the sanitizer's to see.
    std::vector<uint8_t> input(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::cout << "replayed " << files.size() << " inputs\n";
  return 0;
}
