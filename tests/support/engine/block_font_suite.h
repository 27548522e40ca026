#pragma once

#include "engine/core/resources.h"
#include "engine/core/smart_ptr.h"
#include "engine/visuals/font.h"
#include "support/engine/media_files.h"
#include "support/engine/test_window.h"
#include "support/engine/text_fixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace vo_test {

// A test suite with a window (font atlases are textures, built under a
// window's context) and a block font: blocks 10 x 20 advancing 10 at
// height 20, so "abc" is 30 x 20 units.
class BlockFontSuite : public testing::Test {
protected:
    static void SetUpTestSuite() {
        window_ = new TestWindow(32, 32);
        folder_ = new TempFolder;
        vo::Textures().path = folder_->path() + "/";
        const std::string info = WriteBlockFont(folder_->path(), UniqueName("blocks"), 10, 20, 10);
        testing::internal::CaptureStdout();
        font_ = new vo::SmartPtr<vo::Font>(LoadBlockFont(info, 20.0f));
        testing::internal::GetCapturedStdout();
    }
    static void TearDownTestSuite() {
        delete font_;
        delete folder_;
        delete window_;
        font_ = nullptr;
        folder_ = nullptr;
        window_ = nullptr;
    }

    static vo::SmartPtr<vo::Font> const& font() { return *font_; }

    static inline TestWindow* window_ = nullptr;
    static inline TempFolder* folder_ = nullptr;
    static inline vo::SmartPtr<vo::Font>* font_ = nullptr;
};

}  // namespace vo_test
