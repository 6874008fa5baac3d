// The engine library as the desktop program sees it: loaded by file name,
// one export, run files named in names.dat in the current folder.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "test_support.h"

namespace {

using pylar::test::TempFolder;
using pylar::test::writeFile;
using IpylarFn = std::int32_t (*)(std::int32_t);

struct Library {
  void* handle = nullptr;
  IpylarFn ipylar = nullptr;
  Library() {
    handle = dlopen(PYLAR_BIN_DIR "/libPylar2017_DLL.so", RTLD_NOW | RTLD_LOCAL);
    if (handle) ipylar = reinterpret_cast<IpylarFn>(dlsym(handle, "IPYLAR"));
  }
  ~Library() {
    if (handle) dlclose(handle);
  }
};

// Runs the library in its own current folder, as the desktop program does.
struct InFolder {
  std::filesystem::path saved = std::filesystem::current_path();
  explicit InFolder(const std::filesystem::path& folder) { std::filesystem::current_path(folder); }
  ~InFolder() { std::filesystem::current_path(saved); }
};

TEST(EngineLibrary, ExportsOnlyIpylar) {
  Library lib;
  ASSERT_NE(lib.handle, nullptr) << dlerror();
  EXPECT_NE(lib.ipylar, nullptr);
  EXPECT_EQ(dlsym(lib.handle, "_ZN5pylar6engine11runAnalysisERKNS0_8RunNamesERKSt8functionIFNS0_7RunTimeEvEE"),
            nullptr);
}

TEST(EngineLibrary, WrongArgumentOrMissingNamesFileTouchesNoFile) {
  Library lib;
  ASSERT_NE(lib.ipylar, nullptr);
  TempFolder dir;
  InFolder in(dir.path());
  for (int argument : {0, 1, 3, -2}) EXPECT_EQ(lib.ipylar(argument), 1) << argument;
  EXPECT_TRUE(dir.files().empty());
  // Argument 2 without names.dat: there is no console to ask for the names.
  EXPECT_EQ(lib.ipylar(2), 11);
  EXPECT_TRUE(dir.files().empty());
}

TEST(EngineLibrary, RunsFromNamesFileWithPathsLongerThan255) {
  Library lib;
  ASSERT_NE(lib.ipylar, nullptr);
  TempFolder dir;
  auto project = dir.path() / std::string(120, 'a') / std::string(120, 'b') / "pier.pq8d";
  std::filesystem::create_directories(project.parent_path());
  ASSERT_GT(project.string().size(), 255U);
  writeFile(project,
            "T\r\n1\r\n2 1 1 1 1 2 0 0 0 0 0\r\n3 3 0 0 0 0 3600000\r\n1 10 60 2.5 3\r\n1 80\r\n"
            "0 120 32 0 10 0 0 1 1\r\n0 125 34 0 20 0 0 1 1\r\n1\r\n0.5 0.5\r\n");
  std::string names = "2017.8.2\r\n";
  for (const char* ext : {".pq8d", ".pq8o", ".pq8p", ".pq8r", ".pq8z", ".pq8w", ".pq8t", ".pq8q"})
    names += std::filesystem::path(project).replace_extension(ext).string() + "\r\n";
  writeFile(dir / "names.dat", names);

  InFolder in(dir.path());
  EXPECT_EQ(lib.ipylar(2), 0);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(project).replace_extension(".pq8o")));
  EXPECT_TRUE(std::filesystem::exists(dir / "CHART.DAT"));  // scratch files in the current folder
}

}  // namespace
