#include "reading/page/PoemPage.h"

#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"

namespace {

CString Field(const char* field, std::size_t width) {
    return CodePage::Decode(field, width);
}

CString FontLine(const char16_t* open, const CString& color, const CString& content,
                 const char16_t* close) {
    CString line = open;
    line += color;
    line += u">";
    line += content;
    line += close;
    return line;
}

// One row of the inner table: the cell's opening tag, its content and the row's end.
CString Row(const char16_t* cell, const CString& content) {
    return CString(u"<tr>") + cell + content + u"</td>" + u"</tr>";
}

} // namespace

CString TextToHtml(const CString& text) {
    CString html;
    for (const char16_t ch : text.view()) {
        if (ch == u'\n') {
            html += u"<br>";
        } else if (ch != u'\t') {
            html += ch;
        }
    }
    return html;
}

CString ComposePoemPage(CPoemLibrary& library, const PoemRecord& record,
                        const PageSettings& settings) {
    CString text;
    library.ReadText(&record, text);
    text = TextToHtml(text);

    const CString head = CString(u"<head>") +
                         u"<meta http-equiv=\"Content-Type\" content=\"text/html; "
                         u"charset=GB2312\">" +
                         u"<title>Qinvara</title>" + u"</head>";

    const CString formLine = FontLine(u"<font size=3 color=#", settings.formColor,
                                      Field(record.form, sizeof record.form), u"</font><br>");
    const CString titleLine =
        FontLine(u"<b><font size=5 color=#", settings.titleColor,
                 Field(record.title, sizeof record.title), u"</font></b><br>");
    const CString authorLine = FontLine(u"<font size=3 color=#", settings.authorColor,
                                        Field(record.dynasty, sizeof record.dynasty) + u"\u00B7" +
                                            Field(record.author, sizeof record.author),
                                        u"</font><br>");
    const CString textBlock =
        FontLine(u"<font size=4 color=#", settings.textColor, text, u"</font><br>");

    CString body = u"<body ";
    body += u"background=\"file://";
    body += settings.programFolder;
    body += settings.backPicture;
    body += u"\" >";
    body += u"<table align=left border=0 width=480 >";
    body += u"<tr>";
    body += u"<td align=left>";
    body += u"<table border=0 align=left";
    body += u">";
    body += Row(u"<td align=left height=9 >", formLine);
    body += Row(u"<td align=center >", titleLine);
    body += Row(u"<td align=right height=9 >", authorLine);
    body += Row(u"<td align=right height=9 >", u"&nbsp;&nbsp;");
    body += u"</table>";
    body += u"</td>";
    body += u"</tr>";
    body += Row(u"<td align=left valign=top>", textBlock);
    body += u"</table>";
    body += u"</body>";

    return CString(u"<html>") + head + body + u"</html>";
}

namespace {

CString EscapedHtml(const CString& text) {
    CString html;
    for (const char16_t ch : text.view()) {
        switch (ch) {
        case u'&':
            html += u"&amp;";
            break;
        case u'<':
            html += u"&lt;";
            break;
        case u'>':
            html += u"&gt;";
            break;
        case u'\r':
            break;
        case u'\n':
            html += u"<br>";
            break;
        default:
            html += ch;
        }
    }
    return html;
}

} // namespace

CString NotesToHtml(const PoemNotes& notes, const CString& color) {
    if (notes.IsEmpty()) {
        return {};
    }
    CString lines;
    for (const CString& line : notes.Lines()) {
        lines += EscapedHtml(line) + u"<br>";
    }
    // Below the page's table, in a table of its own as wide, so that it starts under the poem.
    return CString(u"<table align=left border=0 width=480 >") + u"<tr>" +
           u"<td align=left valign=top>" +
           FontLine(u"<font size=3 color=#", color, lines, u"</font>") + u"</td>" + u"</tr>" +
           u"</table>";
}

CString ComposePoemNotes(CPoemLibrary& library, const PoemRecord& record,
                         const PageSettings& settings) {
    return NotesToHtml(FindPoemNotes(library, record), settings.textColor);
}
