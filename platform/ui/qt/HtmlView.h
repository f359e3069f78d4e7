#pragma once
// The window behind "DISPLAYCLASS": a text browser that shows pages given as text or loaded from
// local files, and its record, which turns the viewer's messages into calls on it.

#include "platform/core/CString.h"
#include "platform/ui/qt/VerseLayout.h"
#include "platform/ui/qt/WindowRecord.h"

#include <QDateTime>
#include <QImage>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

class QFileInfo;

class CHtmlView : public QTextBrowser {
public:
    // Relative names of a page given as text resolve against `programFolder` (ending in '/').
    // Files there are the program's own, and so are those of `linkedFolder`, when given: the
    // installed folder, which a user's own program folder links to.
    CHtmlView(QWidget* parent, const QString& programFolder, const QString& linkedFolder = {});

    // Replaces the document with `html` and what follows it (`after`: the notes below a poem),
    // unless it is the page shown already: a repaint that hands over the same page leaves the
    // reader where they are. With verses kept, only `html` keeps them: `after` is prose.
    void ShowPage(const QString& html, const QString& after = {});
    // Loads a local file and scrolls to `anchor` (taken as it stands); navigating again to the
    // address asked for last changes nothing.
    void Navigate(const QString& path, const QString& anchor);
    // Follows a link of the page: pages of the program folder and anchors only.
    void ActivateLink(const QUrl& link);

    void SetZoomLevel(int level);
    // Draws the pages in `face` instead of the viewer's own; empty for its own.
    void SetFace(const QString& face);
    // Breaks the lines of the pages between verses only, while a verse fits on a line; off, lines
    // break as Chinese text breaks.
    void SetKeepVerses(bool keep);
    int ZoomLevel() const { return m_zoomLevel; }
    bool KeepsVerses() const { return m_keepVerses; }
    static int PixelSizeOfZoom(int level);

    const QString& ProgramFolder() const { return m_programFolder; }
    const QString& Page() const { return m_page; }
    const QString& File() const { return m_file; }
    const QString& Anchor() const { return m_anchor; }
    int RefusedRequests() const { return m_refused; }
    bool HasBackgroundPicture() const;
    // The document position of the top of the line holding `anchor`; -1 when there is none.
    int AnchorY(const QString& anchor) const;
    int WidestTable() const;

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void Load(const QString& path, const QString& anchor);
    // Shows what is shown laid out afresh: the page given as text, or the file read again.
    void ShowAgain();
    void SetDocumentHtml(const QString& html, const QString& after = {});
    void ScrollToAnchor(const QString& anchor);
    QUrl Resolve(const QUrl& name) const;
    bool InProgramFolder(const QString& path) const;
    QVariant ReadLocal(int type, const QString& path);
    QVariant ReadPicture(const QFileInfo& info);
    void FitWideTables();
    void ApplyFont();
    // The width pages wrap to: the viewer's, less its scroll bar's.
    int WrapWidth() const;
    static QString LeadingSheet(const QFont& font);

    QString m_programFolder;
    QString m_linkedFolder;
    QString m_page;      // the page given as text that is shown, whole; empty while a file is
    QString m_after;     // the end of m_page that followed the page itself, laid out as prose
    QString m_file;      // the local file shown; empty while a page given as text is
    QString m_navigated; // the path and anchor DTM_NAVIGATE asked for last
    QString m_anchor;
    QString m_face;    // empty: the viewer's own
    QString m_leading; // the style of the space between lines, for the face in use
    int m_zoomLevel = 2;
    bool m_keepVerses = false;
    MarkSize m_markSize = MarkSize::AsText; // for the face in use
    int m_refused = 0;
    // The picture read last, decoded.
    QString m_picturePath;
    QDateTime m_pictureModified;
    qint64 m_pictureSize = -1;
    QImage m_picture;
};

class CHtmlViewRecord : public CWindowRecord {
public:
    CHtmlViewRecord(int id, CWindowRecord* parent, QWidget* parentWidget, const QRect& rect,
                    DWORD style, const QString& programFolder, const QString& linkedFolder = {});
    ~CHtmlViewRecord() override;

    QWidget* Widget() const override { return m_view; }
    CHtmlView* View() const { return m_view; }
    DWORD Style() const { return m_style; }
    bool Scripting() const { return m_scripting; }
    bool Shrink() const { return m_shrink; }

    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT AddText(WPARAM wParam, const char16_t* text);
    LRESULT EndOfSource();
    LRESULT Navigate(const char16_t* url);

    QPointer<CHtmlView> m_view;
    DWORD m_style;
    QString m_pieces;         // the page being added to: its first piece
    QString m_after;          // the pieces after the first (the notes below a poem)
    bool m_pageEnded = true;  // the next piece starts a new page
    bool m_scripting = false; // remembered only: the viewer has no script engine
    bool m_shrink = false;    // remembered only: pages always fit the viewer's width
};

// Splits a DTM_NAVIGATE address into a local path and an anchor. The address is "file://"
// and a path, or a path alone, with "#" and the anchor after the page's name; a relative path
// is taken in `folder`. Returns false for any other kind of address.
bool SplitNavigationUrl(const QString& url, const QString& folder, QString& path, QString& anchor);
