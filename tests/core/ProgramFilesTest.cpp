// The numbered files of the program folder, as the background page offers them and the
// generators make them. Everything else that needs them takes them from the header, so this is
// where their names are pinned.

#include "platform/core/ProgramFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramFilesTest, PicturesAndMusicAreNumberedFromOneWithoutLeadingZeros) {
    EXPECT_EQ(kBackgroundPictureCount, 38u);
    EXPECT_EQ(BackgroundPictureName(1), "bgpic1.jpg");
    EXPECT_EQ(BackgroundPictureName(kBackgroundPictureCount), "bgpic38.jpg");
    EXPECT_EQ(kBackgroundMusicCount, 12u);
    EXPECT_EQ(BackgroundMusicName(1), "sound1.wav");
    EXPECT_EQ(BackgroundMusicName(kBackgroundMusicCount), "sound12.wav");
}

TEST(ProgramFilesTest, EveryStartShowsPicture27AndPlaysTheFirstPiece) {
    EXPECT_EQ(BackgroundPictureName(kDefaultBackgroundPicture), "bgpic27.jpg");
    EXPECT_EQ(BackgroundMusicName(kDefaultBackgroundMusic), "sound1.wav");
}

} // namespace
