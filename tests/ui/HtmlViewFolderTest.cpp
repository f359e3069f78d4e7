// The viewer hands a page only the program's own files. On a user's own program folder those are
// links into the installed folder: followed there, and nowhere else.

#include "platform/ui/testing/HtmlViewProbe.h"
#include "tests/common/TestLibrary.h"

#include <QImage>

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using testing_support::TempFolder;
using testing_support::WriteFile;

class HtmlViewFolderTest : public testing::Test {
protected:
    HtmlViewFolderTest() {
        for (const char* folder : {"installed", "own", "elsewhere"}) {
            fs::create_directory(m_root.Path() / folder);
        }
        QImage picture(4, 3, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        picture.save(QString::fromStdString(m_root.File("installed/bgpic1.jpg")), "JPG");
        WriteFile(m_root.File("elsewhere/secret.txt"), "secret");
        fs::create_symlink(m_root.Path() / "installed/bgpic1.jpg",
                           m_root.Path() / "own/bgpic1.jpg");
        fs::create_symlink(m_root.Path() / "elsewhere/secret.txt",
                           m_root.Path() / "own/secret.jpg");
    }

    CString Folder(const char* name) const {
        return CString::FromUtf8((m_root.Path() / name).string() + "/");
    }

    TempFolder m_root;
};

TEST_F(HtmlViewFolderTest, LinksIntoTheInstalledFolderAreTheProgramsOwnFiles) {
    UiTesting::CHtmlViewProbe view(Folder("own"), Folder("installed"));
    EXPECT_EQ(view.Picture(u"bgpic1.jpg"), CSize(4, 3));
    EXPECT_EQ(view.RefusedRequests(), 0);
    // A link that leads anywhere else is still refused.
    EXPECT_FALSE(view.Picture(u"secret.jpg").has_value());
    EXPECT_EQ(view.RefusedRequests(), 1);
}

TEST_F(HtmlViewFolderTest, WithoutAnInstalledFolderNoLinkLeadsOut) {
    UiTesting::CHtmlViewProbe view(Folder("own"));
    EXPECT_FALSE(view.Picture(u"bgpic1.jpg").has_value());
    EXPECT_FALSE(view.Picture(u"secret.jpg").has_value());
    EXPECT_EQ(view.RefusedRequests(), 2);
}

} // namespace
