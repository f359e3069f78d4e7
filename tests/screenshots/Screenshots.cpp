// Pictures of the reader's screens, taken from the program itself: the real screens over the
// default library of the program folder, driven headless by the test driver, each saved as the
// window shows it at the zoom asked for.
//   lomeva_screenshots OUT_DIR [--zoom N]... [--face FACE]... [--gaps] [--page NAME=PAGE]...
//                      [--poem LIBRARY TITLE NAME]... [--folder DIR]
// writes OUT_DIR/NAME-zN.png for the main screen and its menu, a poem page and the reader's
// menu, a poem page with its notes (when the collection's libraries are built), a reference
// page, the search
// screen with its field list open, the add-poem screen, the three option pages and the colour
// chooser; with --face, only the poem and reference pages, once in each face, as
// page-FACE-zN.png; with --gaps, prints the leading of both pages (dark text on white); with
// --page, only the reference window at each PAGE ("poets/宋代/杨时.htm"), as NAME-zN.png; with
// --poem, only the page of the first poem titled TITLE in the library LIBRARY (kavro, 全宋诗 ...)
// as NAME-zN.png. --folder takes the program folder's files from DIR instead of the build's.

#include "app/MainMenuDlg.h"
#include "browse/SearchDlg.h"
#include "entry/AddPoemDlg.h"
#include "library/PoemLibrary.h"
#include "options/KavroOption.h"
#include "platform/core/CodePage.h"
#include "platform/core/Services.h"
#include "platform/core/Sound.h"
#include "platform/ui/PropertySheet.h"
#include "platform/ui/RealServices.h"
#include "platform/ui/ScreenGeometry.h"
#include "platform/ui/testing/FrontScreen.h"
#include "platform/ui/testing/HtmlViewTesting.h"
#include "platform/ui/testing/ScreenWidgets.h"
#include "reading/PoemViewDlg.h"
#include "reading/RefPageDlg.h"
#include "resources/ResourceIds.h"
#include "settings/InstalledLibrary.h"
#include "settings/Settings.h"
#include "tests/support/LineGaps.h"
#include "tests/support/TestDriver.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QPainter>
#include <QScrollBar>
#include <QString>
#include <QTextBrowser>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using testing_support::CScript;
using testing_support::CTestDriver;
namespace fs = std::filesystem;

namespace {

struct PoemShot {
    std::string library; // the library's name in the program folder, without ".idx"
    std::string title;
    std::string name;
};

struct Options {
    fs::path out;
    std::vector<int> zooms;
    std::vector<QString> faces;
    std::vector<PoemShot> poems;
    std::string folder = LOMEVA_PROGRAM_DIR "/";
    bool gaps = false;
    // --page NAME=PAGE: the reference window at PAGE (relative to the program folder) as NAME
    std::vector<std::pair<std::string, std::string>> pages;
};

QImage WindowImage(CScript& s) {
    return s.OnGui([] {
        QWidget* window = UiTesting::ScreenWindow();
        return window != nullptr ? window->grab().toImage() : QImage();
    });
}

bool Save(const QImage& image, const fs::path& path) {
    const bool saved = !image.isNull() && image.save(QString::fromStdString(path.string()), "PNG");
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.c_str());
    return saved;
}

std::string Name(const std::string& screen, int zoom) {
    return screen + "-z" + std::to_string(zoom) + ".png";
}

QTextBrowser* FrontViewer() {
    QWidget* surface = UiTesting::ScreenSurface();
    return surface != nullptr ? surface->findChild<QTextBrowser*>() : nullptr;
}

// Lets the viewer lay out, scroll to its anchor and paint.
void Settle(CScript& s) {
    s.Pause(std::chrono::milliseconds(300));
    s.Sync();
}

void SetFace(CScript& s, const QString& face) {
    if (!face.isEmpty()) {
        s.OnGui([&face] {
            UiTesting::SetHtmlViewFace(
                UiTesting::FrontHtmlView(),
                CString(std::u16string_view(reinterpret_cast<const char16_t*>(face.utf16()),
                                            static_cast<size_t>(face.size()))));
        });
        Settle(s);
    }
}

class CShots {
public:
    CShots(const Options& options, const std::string& folder)
        : m_options(options), m_installedSound(m_sound) {
        m_driver.SetProgramFolder(folder);
        g_strAppPath = CString::FromUtf8(folder);
    }

    CTestDriver& Driver() { return m_driver; }

    void MainScreen(int zoom) {
        CMainMenuDlg dialog;
        Shoot(zoom, dialog, IDD_MAINMENU, "main");
    }

    // 春晓, over the default picture; `face` empty for the viewer's own.
    void PoemPage(int zoom, const QString& face, const std::string& name) {
        if (g_pLibrary->Select(u"春晓", SEL_TITLE) == 0) {
            std::fprintf(stderr, "the library holds no 春晓\n");
            return;
        }
        CPoemViewDlg reader(g_pLibrary->GetResultBuffer());
        Shoot(zoom, reader, IDD_POEMVIEW, name, face);
    }

    // The first poem of `shot.library` titled `shot.title`, over the default picture.
    void LibraryPoemPage(int zoom, const PoemShot& shot) {
        CPoemLibrary library(g_strAppPath);
        const CString name = CString::FromUtf8(shot.library);
        library.SetFileNames(name + u".idx", name + u".dat");
        const CString title = CString::FromUtf8(shot.title);
        const unsigned count = library.Open() ? library.Select(title.GetString(), SEL_TITLE) : 0;
        // The poem of that very title, not one whose title merely holds it.
        const PoemRecord* records = library.GetResultBuffer();
        const PoemRecord* found = nullptr;
        for (unsigned i = 0; i < count && found == nullptr; ++i) {
            if (CodePage::Decode(records[i].title, sizeof records[i].title) == title) {
                found = &records[i];
            }
        }
        if (found == nullptr) {
            std::fprintf(stderr, "%s holds no %s\n", shot.library.c_str(), shot.title.c_str());
            return;
        }
        CPoemLibrary* const previous = std::exchange(g_pLibrary, &library);
        CPoemViewDlg reader(found);
        Shoot(zoom, reader, IDD_POEMVIEW, shot.name);
        g_pLibrary = previous;
    }

    // The main screen with the menu a tap-and-hold opens.
    void MainScreenMenu(int zoom) {
        CMainMenuDlg dialog;
        ShootMenu(zoom, dialog, IDD_MAINMENU, QPoint(60, 150), "main-menu");
    }

    // 春晓 in the reader opened over the whole library, with its menu.
    void ReaderMenu(int zoom) {
        const unsigned count = g_pLibrary->Select(nullptr, SEL_ALL);
        const PoemRecord* records = g_pLibrary->GetResultBuffer();
        for (unsigned i = 0; i < count; ++i) {
            if (CodePage::Decode(records[i].title, sizeof records[i].title) == CString(u"春晓")) {
                CPoemViewDlg reader(records, count, i);
                ShootMenu(zoom, reader, IDD_POEMVIEW, QPoint(90, 120), "reader-menu");
                return;
            }
        }
        std::fprintf(stderr, "the library holds no 春晓\n");
    }

    // 菩萨蛮 其一 of 五代词 with its notes, scrolled down to them, over 五代词, which becomes the
    // open library.
    void NotesPage(int zoom) {
        if (g_pLibrary->Select(u"菩萨蛮 其一", SEL_TITLE) == 0) {
            return;
        }
        CPoemViewDlg reader(g_pLibrary->GetResultBuffer());
        Run(
            zoom, [&] { reader.DoModal(); },
            [&](CScript& s) {
                if (s.WaitForScreen(IDD_POEMVIEW)) {
                    Settle(s);
                    s.OnGui([] {
                        if (QTextBrowser* view = FrontViewer()) {
                            view->verticalScrollBar()->setValue(
                                view->verticalScrollBar()->maximum());
                        }
                    });
                    Settle(s);
                    Save(WindowImage(s), m_options.out / Name("notes", zoom));
                }
            });
    }

    void RefPage(int zoom, const QString& face, const std::string& name,
                 const std::string& page = "authors.htm#李白") {
        CRefPageDlg window;
        window.m_strUrl = u"file://" + g_strAppPath + CString::FromUtf8(page);
        Shoot(zoom, window, IDD_REFPAGE, name, face);
    }

    void Search(int zoom) {
        CSearchDlg search;
        Run(
            zoom, [&] { search.DoModal(); },
            [&](CScript& s) {
                if (!s.WaitForScreen(IDD_SEARCH)) {
                    return;
                }
                Settle(s);
                Save(WindowImage(s), m_options.out / Name("search", zoom));
                // The field list open over the screen.
                s.OnGui([] {
                    if (auto* combo = UiTesting::ScreenSurface()->findChild<QComboBox*>()) {
                        combo->showPopup();
                    }
                });
                Settle(s);
                Save(PopupOver(s), m_options.out / Name("search-fields", zoom));
                s.OnGui([] {
                    if (auto* combo = UiTesting::ScreenSurface()->findChild<QComboBox*>()) {
                        combo->hidePopup();
                    }
                });
            });
    }

    void AddPoem(int zoom) {
        CAddPoemDlg entry;
        Shoot(zoom, entry, IDD_ADDPOEM, "addpoem");
    }

    // The three pages of the options and the colour chooser that the colour page opens.
    void OptionPages(int zoom) {
        CScreenColorChooser screenChooser;
        ScopedService<IColorChooserService> installed(screenChooser);
        Run(
            zoom, [] { RunOptionsSheet(); },
            [&](CScript& s) {
                if (!s.WaitForScreen(IDD_PAGE_COLOURS)) {
                    return;
                }
                Settle(s);
                Save(WindowImage(s), m_options.out / Name("options-colours", zoom));
                s.Click(IDC_BTN_TITLECOLOR);
                if (s.WaitUntil([] { return Chooser() != nullptr && Chooser()->isVisible(); })) {
                    Settle(s);
                    // A chooser of its own window is taken on its own.
                    const QImage image = s.OnGui([] {
                        QColorDialog* chooser = Chooser();
                        return chooser->isWindow() ? chooser->grab().toImage()
                                                   : UiTesting::ScreenWindow()->grab().toImage();
                    });
                    Save(image, m_options.out / Name("colour-chooser", zoom));
                    s.OnGui([] { Chooser()->reject(); });
                }
                s.WaitForScreen(IDD_PAGE_COLOURS);
                const std::pair<int, const char*> pages[] = {{1, "options-background"},
                                                             {2, "options-library"}};
                for (const auto& [index, name] : pages) {
                    constexpr int kTabWidth = kScreenWidth / 3;
                    s.ClickWindowAt((kTabWidth * index + kTabWidth / 2) * zoom,
                                    (kScreenHeight - kSheetTabHeight / 2) * zoom);
                    Settle(s);
                    Save(WindowImage(s), m_options.out / Name(name, zoom));
                }
            });
    }

    // Every colour of the poem page.
    static void SetPageColours(const char16_t* colour) {
        for (CString* setting :
             {&g_strFormColor, &g_strTitleColor, &g_strAuthorColor, &g_strTextColor}) {
            *setting = colour;
        }
    }

    // The leading of both pages in dark text on white, in the viewer's own face.
    void Gaps(int zoom) {
        const std::string folder = g_strAppPath.ToUtf8();
        const CString picture = std::exchange(g_strBackPicture, CString(u"none.jpg"));
        SetPageColours(u"000000");
        if (g_pLibrary->Select(u"春晓", SEL_TITLE) > 0) {
            CPoemViewDlg reader(g_pLibrary->GetResultBuffer());
            Run(
                zoom, [&] { reader.DoModal(); },
                [&](CScript& s) {
                    if (s.WaitForScreen(IDD_POEMVIEW)) {
                        Settle(s);
                        PrintGaps("poem page", zoom, s);
                    }
                });
        }
        g_strBackPicture = picture;
        SetPageColours(u"FFFFFF");
        // The reference page with its picture and light colours taken out.
        const fs::path plain = fs::path(folder) / "plain-authors.htm";
        testing_support::WritePlainPage(fs::path(folder) / "authors.htm", plain);
        CRefPageDlg window;
        window.m_strUrl = u"file://" + g_strAppPath + u"plain-authors.htm#李白";
        Run(
            zoom, [&] { window.DoModal(); },
            [&](CScript& s) {
                if (s.WaitForScreen(IDD_REFPAGE)) {
                    Settle(s);
                    PrintGaps("reference page", zoom, s);
                }
            });
        fs::remove(plain);
    }

private:
    static QColorDialog* Chooser() {
        for (QWidget* widget : QApplication::allWidgets()) {
            if (auto* chooser = qobject_cast<QColorDialog*>(widget)) {
                return chooser;
            }
        }
        return nullptr;
    }

    // The window with the open drop-down list painted where it shows over it, unless the list
    // shows inside the window's scene already (a list of a widget in the scene does), where it
    // is drawn at the window's zoom.
    static QImage PopupOver(CScript& s) {
        return s.OnGui([] {
            QWidget* window = UiTesting::ScreenWindow();
            QImage image = window->grab().toImage();
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (widget != window && widget->isVisible() &&
                    widget->inherits("QComboBoxPrivateContainer") &&
                    widget->graphicsProxyWidget() == nullptr) {
                    QPainter painter(&image);
                    const QPoint at = window->mapFromGlobal(widget->mapToGlobal(QPoint(0, 0)));
                    painter.drawImage(at, widget->grab().toImage());
                }
            }
            return image;
        });
    }

    void PrintGaps(const char* page, int zoom, CScript& s) {
        const QImage image = WindowImage(s);
        // The viewer inside its border, without the scroll bar's column.
        const QRect viewer((1 + 2) * zoom, (kBarHeight + 1 + 2) * zoom, (kClientWidth - 30) * zoom,
                           (kClientHeight - 6) * zoom);
        const auto runs = testing_support::InkRuns(image, viewer);
        const testing_support::LineGaps gaps = testing_support::MeasureLineGaps(runs);
        std::printf("  rows with ink (top+height):");
        for (const auto& run : runs) {
            std::printf(" %d+%d", run.top, run.height);
        }
        std::printf("\n");
        std::printf("%s at zoom %d: %d lines, line %d px, smallest gap %d px, smallest gap / its "
                    "lines %.0f%%\n",
                    page, zoom, gaps.lines, gaps.lineHeight, gaps.smallestGap,
                    100 * gaps.smallestShare);
        Save(image,
             m_options.out / Name(std::string("gaps-") + (page[0] == 'p' ? "poem" : "ref"), zoom));
    }

    // Runs `dialog` and saves the screen as `name` once it shows (in `face`, for a page).
    void Shoot(int zoom, CDialog& dialog, UINT screen, const std::string& name,
               const QString& face = {}) {
        Run(
            zoom, [&] { dialog.DoModal(); },
            [&](CScript& s) {
                if (s.WaitForScreen(screen)) {
                    Settle(s);
                    SetFace(s, face);
                    Save(WindowImage(s), m_options.out / Name(name, zoom));
                }
            });
    }

    // Runs `dialog`, holds a press at `at` and saves the screen with the menu it opens.
    void ShootMenu(int zoom, CDialog& dialog, UINT screen, QPoint at, const std::string& name) {
        Run(
            zoom, [&] { dialog.DoModal(); },
            [&](CScript& s) {
                if (!s.WaitForScreen(screen)) {
                    return;
                }
                Settle(s);
                s.Hold(at.x(), at.y());
                if (s.WaitForMenu()) {
                    Settle(s);
                    Save(WindowImage(s), m_options.out / Name(name, zoom));
                    s.PressEscape();
                }
            });
    }

    template <class Program, class Script> void Run(int zoom, Program program, Script script) {
        m_driver.SetZoom(zoom);
        m_driver.Run(program, [&](CScript& s) {
            script(s);
            s.CloseWindow();
        });
    }

    const Options& m_options;
    CTestDriver m_driver;
    CRecordingSound m_sound;
    ScopedService<ISoundService> m_installedSound;
};

// The pictures side by side, each with its name under it.
QImage SideBySide(const std::vector<std::pair<QString, QImage>>& pictures) {
    constexpr int kGap = 8;
    constexpr int kLabel = 22;
    int width = kGap;
    int height = 0;
    for (const auto& [label, image] : pictures) {
        width += image.width() + kGap;
        height = std::max(height, image.height());
    }
    QImage sheet(width, height + kLabel + 2 * kGap, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(13);
    painter.setFont(font);
    int x = kGap;
    for (const auto& [label, image] : pictures) {
        painter.drawImage(x, kGap, image);
        painter.drawText(QRect(x, kGap + height, image.width(), kLabel), Qt::AlignCenter, label);
        x += image.width() + kGap;
    }
    return sheet;
}

// One sheet a page and zoom: the page in every face.
void FaceSheets(const Options& options) {
    for (const int zoom : options.zooms) {
        for (const std::string page : {"poem", "ref"}) {
            std::vector<std::pair<QString, QImage>> pictures;
            for (const QString& face : options.faces) {
                const std::string file =
                    page + "-" + QString(face).remove(QLatin1Char(' ')).toStdString();
                pictures.emplace_back(face, QImage(QString::fromStdString(
                                                (options.out / Name(file, zoom)).string())));
            }
            Save(SideBySide(pictures), options.out / Name("faces-" + page, zoom));
        }
    }
}

bool ParseArguments(int argc, char** argv, Options& options) {
    if (argc < 2) {
        return false;
    }
    options.out = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--zoom" && i + 1 < argc) {
            options.zooms.push_back(std::atoi(argv[++i]));
        } else if (argument == "--face" && i + 1 < argc) {
            options.faces.push_back(QString::fromUtf8(argv[++i]));
        } else if (argument == "--gaps") {
            options.gaps = true;
        } else if (argument == "--page" && i + 1 < argc &&
                   std::string_view(argv[i + 1]).find('=') != std::string_view::npos) {
            const std::string page = argv[++i];
            options.pages.emplace_back(page.substr(0, page.find('=')),
                                       page.substr(page.find('=') + 1));
        } else if (argument == "--poem" && i + 3 < argc) {
            options.poems.push_back({argv[i + 1], argv[i + 2], argv[i + 3]});
            i += 3;
        } else if (argument == "--folder" && i + 1 < argc) {
            options.folder = fs::path(argv[++i]).string() + "/";
        } else {
            return false;
        }
    }
    if (options.zooms.empty()) {
        options.zooms = {1, 2};
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fprintf(stderr, "usage: lomeva_screenshots OUT_DIR [--zoom N]... [--face FACE]... "
                             "[--gaps] [--page NAME=PAGE]... [--poem LIBRARY TITLE NAME]... "
                             "[--folder DIR]\n");
        return 2;
    }
    fs::create_directories(options.out);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const bool comparing = !options.faces.empty();
    // A face that is not installed would be drawn in another: it is left out.
    std::erase_if(options.faces, [](const QString& face) {
        const bool installed = QFontDatabase::hasFamily(face);
        if (!installed) {
            std::fprintf(stderr, "%s is not installed: left out\n", face.toUtf8().constData());
        }
        return !installed;
    });
    CShots shots(options, options.folder);
    InstallLibrary(std::make_unique<CPoemLibrary>(CString::FromUtf8(options.folder)));
    if (!g_pLibrary->Open()) {
        std::fprintf(stderr, "cannot open the default library in %s\n", options.folder.c_str());
        return 1;
    }
    for (const int zoom : options.zooms) {
        if (!options.pages.empty()) {
            for (const auto& [name, page] : options.pages) {
                shots.RefPage(zoom, {}, name, page);
            }
        } else if (!options.poems.empty()) {
            for (const PoemShot& shot : options.poems) {
                shots.LibraryPoemPage(zoom, shot);
            }
        } else if (options.gaps) {
            shots.Gaps(zoom);
        } else if (comparing) {
            for (const QString& face : options.faces) {
                const std::string name = QString(face).remove(QLatin1Char(' ')).toStdString();
                shots.PoemPage(zoom, face, "poem-" + name);
                shots.RefPage(zoom, face, "ref-" + name);
            }
        } else {
            shots.MainScreen(zoom);
            shots.MainScreenMenu(zoom);
            shots.PoemPage(zoom, {}, "poem");
            shots.ReaderMenu(zoom);
            shots.RefPage(zoom, {}, "reference");
            shots.Search(zoom);
            shots.AddPoem(zoom);
            shots.OptionPages(zoom);
        }
    }
    if (comparing) {
        FaceSheets(options);
    }
    // A page with notes, when the collection's libraries are built into the program folder.
    if (!comparing && !options.gaps && fs::exists(LOMEVA_PROGRAM_DIR "/五代词.notes")) {
        InstallLibrary(std::make_unique<CPoemLibrary>(CString::FromUtf8(LOMEVA_PROGRAM_DIR "/")));
        g_pLibrary->SetFileNames(u"五代词.idx", u"五代词.dat");
        if (g_pLibrary->Open()) {
            for (const int zoom : options.zooms) {
                shots.NotesPage(zoom);
            }
        }
    }
    InstallLibrary(nullptr);
    return 0;
}
