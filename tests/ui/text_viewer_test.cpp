// The text viewer through the main window: an information page with its mark-up shown in the
// window, its caption and place, the File commands on it, the source table window, and every
// page of the sample atlas.
#include "MainWindowFixture.h"
#include "app/EditFrm.h"
#include "platform/CvVars.h"
#include "platform/DataPath.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtPrinter.h"
#include "text/SourceTable.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPrinter>
#include <QScreen>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace corvane;
using namespace corvane::test;

namespace {

class TextViewerTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        CvVars::Reset();
        dir.Write("atlas/Misc/MainMenu.Dat", "1 Pages\r\n1 XXXX\r\n");
        StartMainWindow(dir / "atlas");
        InstallTextViewerFactories();
    }
    void TearDown() override
    {
        if (EditFrm) EditFrm->CloseWindow();
        if (SourceEdit) SourceEdit->CloseWindow();
        Settle();
        SetTextViewerFactory(nullptr);
        SetSourceViewerFactory(nullptr);
        window.Stop();
    }
    TEditFrm* Viewer() const { return dynamic_cast<TEditFrm*>(EditFrm); }
    TEditFrm* Sources() const { return dynamic_cast<TEditFrm*>(SourceEdit); }
    // The character at (line, column) of the viewer's text and its format.
    static QTextCharFormat FormatAt(const TEditFrm& v, int line, int column)
    {
        QTextCursor c(v.DisplayMemo->document()->findBlockByNumber(line));
        c.setPosition(c.position() + column + 1);
        return c.charFormat();
    }
    static QString Line(const TEditFrm& v, int line) { return v.DisplayMemo->document()->findBlockByNumber(line).text(); }
};

TEST_F(TextViewerTest, APageShowsItsMarkUpAndTakesItsCaptionFromTheFirstLineWithText)
{
    dir.Write("atlas/Info/Intro.Txt", "\r\n   \r\n  ~Seas~ of Europe\r\n27\xF8N \xDA\xC4\xBF ~bold to the end\r\n"
                                      "\xAF" "CDROM:\\Info\\Part.Txt\r\n");
    dir.Write("atlas/Info/Part.Txt", "included ~part~\x1A");
    frm->ShowEdit(CheckCD_Drive("CDROM:\\Info\\Intro.Txt"));
    TEditFrm* v = Viewer();
    ASSERT_NE(v, nullptr);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(v->windowTitle(), "Seas of Europe");
    EXPECT_TRUE(v->Tag == kTagEditFrm && frm->Tag == kTagEditFrm);
    EXPECT_EQ(v->DisplayMemo->document()->blockCount(), 5);
    EXPECT_EQ(Line(*v, 2), "  Seas of Europe");
    EXPECT_EQ(Line(*v, 3), QString::fromUtf8("27\xC2\xB0N \xE2\x94\x8C\xE2\x94\x80\xE2\x94\x90 bold to the end"));
    EXPECT_EQ(Line(*v, 4), "included part");
    EXPECT_FALSE(v->DisplayMemo->document()->isModified());

    // Bold where the tildes were, nothing else; box drawing in the line-drawing face.
    for (int column : {2, 5})
        EXPECT_EQ(FormatAt(*v, 2, column).fontWeight(), QFont::Bold) << column;
    EXPECT_NE(FormatAt(*v, 2, 6).fontWeight(), QFont::Bold);
    EXPECT_NE(FormatAt(*v, 3, 0).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(*v, 3, 20).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(*v, 4, 10).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(*v, 3, 5).fontFamilies().toStringList().value(0), FontFamilyFor("MS LineDraw"));
    EXPECT_EQ(FormatAt(*v, 3, 2).fontFamilies().toStringList().value(0), FontFamilyFor("Courier New"));
    // Lines are as tall as the line-drawing face, so that box characters join up.
    QFont lineDraw(FontFamilyFor("MS LineDraw"));
    lineDraw.setPixelSize(13);
    EXPECT_EQ(v->DisplayMemo->document()->findBlockByNumber(3).blockFormat().lineHeight(), QFontMetrics(lineDraw).height());
    EXPECT_GE(v->frameGeometry().top(), frm->frameGeometry().bottom() + 1);   // below the main window
    EXPECT_TRUE(frm->Button("BaseKeySpdBtn")->isHidden());   // map-only buttons stand aside
}

TEST_F(TextViewerTest, SaveKeepsABackupAndWritesThePageBackWithItsMarkUp)
{
    const std::string page = dir.Write("atlas/Info/Note.Txt", "A ~bold~ word, 45\xF8N\r\n\xC4\xC4\r\n");
    frm->ShowEdit(page);
    ASSERT_NE(Viewer(), nullptr);
    frm->Save1->trigger();   // the main window's Save reaches the active text window
    EXPECT_TRUE(dialogs.saveRequests.empty());
    EXPECT_EQ(ReadFile(dir / "atlas/Info/Note.BAK"), "A ~bold~ word, 45\xF8N\r\n\xC4\xC4\r\n");
    EXPECT_EQ(ReadFile(page), "A ~bold~ word, 45\xB0N\r\n\xC4\xC4\r\n");

    dialogs.saveAnswers.push_back({DialogOutcome::Ok, dir / "copy.txt"});
    frm->SaveAs1->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, "Save Text File As");
    EXPECT_EQ(ReadFile(dir / "copy.txt"), ReadFile(page));
}

TEST_F(TextViewerTest, CopyWithoutASelectionCopiesTheWholeTextAndPrintingWritesPages)
{
    frm->ShowEdit(dir.Write("atlas/Info/Short.Txt", "first line\r\nsecond ~line~\r\n"));
    TEditFrm* v = Viewer();
    ASSERT_NE(v, nullptr);
    frm->CopyToClipboard1->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "first line\nsecond line");
    EXPECT_FALSE(v->DisplayMemo->textCursor().hasSelection());
    EXPECT_EQ(v->DisplayMemo->textCursor().position(), 0);

    QPrinter& printer = CurrentPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir / "page.pdf"));
    PrintChoice two;
    two.copies = 2;   // the PDF printer makes no copies: the page is printed twice
    dialogs.printAnswers.push_back({DialogOutcome::Ok, two});
    frm->Print1->trigger();
    printer.setOutputFileName(QString());
    EXPECT_EQ(printer.docName(), "Corvane");
    EXPECT_EQ(PdfPages(ReadFile(dir / "page.pdf")), 2);
}

TEST_F(TextViewerTest, PrintingToAFileThatCannotBeWrittenSaysWhyAndLeavesTheOldFileWhole)
{
    frm->ShowEdit(dir.Write("atlas/Info/Short.Txt", "first line\r\n"));
    ASSERT_NE(Viewer(), nullptr);
    const std::string pdf = dir.Write("page.pdf", "an earlier print");
    QPrinter& printer = CurrentPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    dialogs.printAnswers.push_back({DialogOutcome::Ok, PrintChoice{}});
    {
        const FileSizeLimit full(512);   // the page is larger
        frm->Print1->trigger();
    }
    printer.setOutputFileName(QString());
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Unable to save " + pdf + " : " + std::strerror(EFBIG)}));
    EXPECT_EQ(ReadFile(pdf), "an earlier print");
}

TEST_F(TextViewerTest, APageThatCannotBeReadIsReportedAndNoViewerStays)
{
    frm->ShowEdit(dir / "atlas/Info/Gone.Txt");
    Settle();
    EXPECT_EQ(EditFrm, nullptr);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{"Cannot open file " + (dir / "atlas/Info/Gone.Txt")}));
    EXPECT_EQ(frm->Tag, kTagNone);
}

TEST_F(TextViewerTest, TheSourceTableHasItsOwnWindowAndClosesByItsTag)
{
    frm->ShowEdit(dir.Write("atlas/Info/A.Txt", "page\r\n"));
    frm->ShowSource({kSourceTableHeading, "1995 Jun       Digital     Harbours"});
    TEditFrm* s = Sources();
    ASSERT_NE(s, nullptr);
    ASSERT_NE(Viewer(), nullptr);
    EXPECT_EQ(s->windowTitle(), kSourceTableCaption);
    EXPECT_TRUE(s->Tag == kTagSourceEdit && frm->Tag == kTagSourceEdit);
    EXPECT_EQ(Line(*s, 1), "1995 Jun       Digital     Harbours");

    frm->Close1Click();   // closes the active child: the source table
    Settle();
    EXPECT_EQ(SourceEdit, nullptr);
    EXPECT_NE(EditFrm, nullptr);
    EXPECT_NE(frm->Tag, kTagSourceEdit);
}

TEST_F(TextViewerTest, EveryPageOfTheSampleAtlasOpens)
{
    CvVars::CDROM = SourceDir() + "/atlas";
    const QStringList pages = QDir(QString::fromStdString(SourceDir() + "/atlas/Info")).entryList({"*.Txt"});
    ASSERT_FALSE(pages.isEmpty());
    for (const QString& name : pages) {
        frm->ShowEdit(CheckCD_Drive("CDROM:\\Info\\" + name.toStdString()));
        Settle();
        TEditFrm* v = Viewer();
        ASSERT_NE(v, nullptr) << name.toStdString();
        EXPECT_FALSE(v->windowTitle().isEmpty()) << name.toStdString();
        EXPECT_GT(v->DisplayMemo->document()->blockCount(), 1) << name.toStdString();
        EXPECT_FALSE(v->DisplayMemo->toPlainText().contains('~')) << name.toStdString();
    }
    EXPECT_TRUE(sink.messages.empty()) << sink.Texts().front();
}

} // namespace
