// The engine library as the desktop program sees it: loaded by file name,
// one export.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using IpylarFn = std::int32_t (*)(std::int32_t);

struct Library {
  void* handle = nullptr;
  Library() { handle = dlopen(PYLAR_BIN_DIR "/libPylar2017_DLL.so", RTLD_NOW | RTLD_LOCAL); }
  ~Library() {
    if (handle) dlclose(handle);
  }
};

TEST(EngineLibrary, ExportsIpylarAndChecksTheArgument) {
  Library lib;
  ASSERT_NE(lib.handle, nullptr) << dlerror();
  auto ipylar = reinterpret_cast<IpylarFn>(dlsym(lib.handle, "IPYLAR"));
  ASSERT_NE(ipylar, nullptr);
  for (int argument : {0, 1, 3, -2}) EXPECT_EQ(ipylar(argument), 1) << argument;
  // The engine's own symbols stay hidden.
  EXPECT_EQ(dlsym(lib.handle, "_ZN5pylar6engine11runAnalysisERKNS0_8RunNamesE"), nullptr);
}

}  // namespace
