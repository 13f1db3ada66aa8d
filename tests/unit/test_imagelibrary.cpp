#include "capture/imagelibrary.h"

#include <gtest/gtest.h>

using namespace klavoro;

// Saving and showing steps needs all four codecs, JPEG from a Qt plugin.
TEST(ImageLibrary, EveryFormatRoundTrips) {
    const ImageLibraryCheck check = checkImageLibraries();
    EXPECT_TRUE(check.ok) << check.errorText().toStdString();
    EXPECT_TRUE(check.versions.contains("libjpeg"));
}
