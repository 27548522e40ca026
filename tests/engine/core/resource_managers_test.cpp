#include "engine/core/resources.h"

#include "engine/core/error.h"
#include "engine/visuals/font.h"
#include "engine/visuals/visual.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"

#include <gtest/gtest.h>

#include <string>

namespace vo {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

vo_test::Rgba Red(unsigned, unsigned) { return vo_test::Rgba{255, 0, 0, 255}; }

// Textures and sound buffers loaded by the real back end from files the
// tests write. The managers are process-wide: each test starts and ends with
// them empty and the texture path empty.
class ResourceManagersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { vo_test::PrepareDisplay(); }
    void SetUp() override { ClearManagers(); }
    void TearDown() override { ClearManagers(); }
    static void ClearManagers() {
        Textures().clear();
        Textures().path.clear();
        SoundBuffers().clear();
    }

    // The Error message of f, or "no error".
    template <class F>
    static std::string ErrorOf(F f) {
        try {
            f();
        } catch (const Error& e) {
            return e.message();
        }
        return "no error";
    }

    vo_test::TempFolder folder;
};

TEST_F(ResourceManagersTest, TextureLoadsOnceFromThePathPrefix) {
    ASSERT_TRUE(vo_test::WritePng(folder.file("crate.png"), 64, 32, Red));
    Textures().path = folder.path() + "/";
    SmartPtr<Texture> texture = GetTexture("crate.png");
    ASSERT_TRUE(texture);
    EXPECT_FLOAT_EQ(64.0f, texture->frame().right());
    EXPECT_FLOAT_EQ(32.0f, texture->frame().bottom());
    EXPECT_EQ(texture.get(), GetTexture("crate.png").get());
    EXPECT_EQ(texture.get(), Textures().get("crate.png", nullptr).get());
}

TEST_F(ResourceManagersTest, FailedTextureWarnsAndFailsEveryTime) {
    ASSERT_TRUE(vo_test::WriteBytes(folder.file("garbage.png"), {'n', 'o', 't', ' ', 'p', 'n', 'g'}));
    const std::string name = folder.file("garbage.png");
    for (int attempt = 0; attempt < 2; ++attempt) {
        CaptureStdout();
        const std::string error = ErrorOf([&] { GetTexture(name); });
        EXPECT_EQ("WARNING: Couldn't load texture: " + name + "\n", GetCapturedStdout()) << attempt;
        EXPECT_EQ("Resource not found for key " + name + ". Couldn't load resource from specified file " + name,
                  error)
            << attempt;
    }
    EXPECT_EQ("Resource not found for key " + name, ErrorOf([&] { Textures().get(name, nullptr); }));
    EXPECT_EQ("Resource not found for key never.png", ErrorOf([] { Textures().get("never.png", nullptr); }));
}

TEST_F(ResourceManagersTest, ReloadRefreshesTheTextureEveryHandleHolds) {
    const std::string name = folder.file("banner.png");
    ASSERT_TRUE(vo_test::WritePng(name, 8, 8, Red));
    SmartPtr<Texture> held = GetTexture(name);
    ASSERT_TRUE(vo_test::WritePng(name, 16, 4, Red));
    Textures().reload_all();
    EXPECT_EQ(held.get(), GetTexture(name).get());
    EXPECT_FLOAT_EQ(16.0f, held->frame().right());
    EXPECT_FLOAT_EQ(4.0f, held->frame().bottom());

    // a file gone at reload time stops the reload with the key and the file
    ASSERT_TRUE(vo_test::WriteBytes(name, {}));
    CaptureStdout();
    const std::string error = ErrorOf([] { Textures().reload(); });
    GetCapturedStdout();
    EXPECT_EQ("Resource not found for key " + name + ". Couldn't load resource from specified file " + name, error);
    EXPECT_EQ(held.get(), GetTexture(name).get());  // the entry stays
    Textures().clear();
    EXPECT_EQ(1, held.use_count());
    EXPECT_FLOAT_EQ(16.0f, held->frame().right());
}

TEST_F(ResourceManagersTest, SoundBuffersLoadWavAndRefuseGarbage) {
    const std::string good = folder.file("blip.wav");
    ASSERT_TRUE(vo_test::WriteWav(good, vo_test::SineSamples(0.05), 44100, 1));
    SmartPtr<SoundBuffer>& buffer = SoundBuffers().get(good, good.c_str());
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer.get(), SoundBuffers().get(good, nullptr).get());

    const std::string bad = folder.file("noise.wav");
    ASSERT_TRUE(vo_test::WriteBytes(bad, {'R', 'I', 'F', 'F', 0, 0}));
    for (int attempt = 0; attempt < 2; ++attempt) {
        CaptureStdout();
        const std::string error = ErrorOf([&] { SoundBuffers().get(bad, bad.c_str()); });
        const std::string printed = GetCapturedStdout();
        EXPECT_NE(std::string::npos, printed.find("WARNING: Couldn't load sound buffer: " + bad + "\n")) << printed;
        EXPECT_EQ("Resource not found for key " + bad + ". Couldn't load resource from specified file " + bad, error);
    }
    SoundBuffers().clear();
    EXPECT_EQ("Resource not found for key " + good, ErrorOf([&] { SoundBuffers().get(good, nullptr); }));
}

TEST_F(ResourceManagersTest, FontsAndVisualsCannotBeLoadedFromFiles) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ("FONTS CURRENTLY CAN'T BE LOADED THROUGH THE RESOURCE MANAGER",
                  ErrorOf([] { Fonts().get("menu", "menu.ttf"); }));
        EXPECT_EQ("Assimp currently not used. Check engine/visuals/visuals_util.",
                  ErrorOf([] { Visuals().get("ship", "ship.obj"); }));
    }
    EXPECT_EQ("Resource not found for key ship", ErrorOf([] { Visuals().get("ship", nullptr); }));
    EXPECT_EQ("Resource not found for key menu", ErrorOf([] { Fonts().get("menu", nullptr); }));
}

}  // namespace
}  // namespace vo
