// The "TP List Create" dialog driven by real mouse and key events, headless.
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "base/modaldialog.h"
#include "messagerecorder.h"
#include "tplist/ctplistcreatedlg.h"
#include "tplistworkdir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <functional>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

template <typename T = QPushButton> T* Find(const QWidget& dialog, int id)
{
    T* control = dialog.findChild<T*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

// The dialog's controls and what a user does with them.
struct Probe {
    QWidget& dialog;
    QListWidget* list = Find<QListWidget>(dialog, 1045);
    QComboBox* combo = Find<QComboBox>(dialog, 1046);
    QLabel* status = Find<QLabel>(dialog, 1047);

    void Click(int id) const { QTest::mouseClick(Find(dialog, id), Qt::LeftButton); }
    void ClickGroup(int g) const { Click(1048 + g); }
    [[nodiscard]] bool Pressed(int g) const { return Find(dialog, 1048 + g)->isChecked(); }
    [[nodiscard]] QString Row(int r) const { return list->item(r)->text(); }

    void ChooseGroup(int g) const
    {
        while (combo->currentIndex() != g)
            QTest::keyClick(combo, combo->currentIndex() < g ? Qt::Key_Down : Qt::Key_Up);
    }

    void DoubleClickRow(int r) const
    {
        const QPoint at = list->visualItemRect(list->item(r)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }

    // One mark per row ('+' shown selected, '-' shown with the leading blank), the combo box's text, the
    // status line, and "off" when the list and the combo box are disabled.
    [[nodiscard]] QString Shows() const
    {
        QString marks;
        for (int r = 0; r < list->count(); ++r)
            marks += Row(r).startsWith(QLatin1Char(' ')) ? '-' : '+';
        const bool enabled = list->isEnabled() && combo->isEnabled();
        return marks + ' ' + combo->currentText() + ' ' + status->text() + (enabled ? "" : " off");
    }
};

class TpListCreateDlgTest : public ::testing::Test {
protected:
    void SetUp() override { m_dialog.show(); }

    MessageRecorder m_messages;
    CTpListCreateDlg m_dialog;
    Probe m_ui { m_dialog };
};

QString Marks(int count, char mark, const char* rest)
{
    return QString(count, QLatin1Char(mark)) + QLatin1Char(' ') + QLatin1String(rest);
}

TEST_F(TpListCreateDlgTest, GroupButtonsSelectAllSatSelectsEverythingAndTheComboBoxOnlyShows)
{
    m_ui.ClickGroup(1);
    EXPECT_EQ(m_ui.Shows(), Marks(13, '+', "SatcoDx2 SatcoDx2"));
    m_ui.ChooseGroup(0);
    EXPECT_EQ(m_ui.Shows(), Marks(7, '-', "SatcoDx1 SatcoDx1"));
    m_ui.ChooseGroup(1);
    EXPECT_EQ(m_ui.Shows(), Marks(13, '+', "SatcoDx2 SatcoDx2"));
    EXPECT_TRUE(m_ui.Pressed(1));
    m_ui.ClickGroup(2);
    m_ui.ClickGroup(2);
    EXPECT_EQ(m_ui.Shows(), Marks(27, '-', "SatcoDx3 SatcoDx3"));
    EXPECT_FALSE(m_ui.Pressed(2));

    m_ui.Click(1057);
    EXPECT_EQ(m_ui.Shows(), Marks(153, '+', "All Sat SatcoDxAll off"));
    EXPECT_EQ(m_ui.Row(152), "3592 (Thor 123)");
    m_ui.Click(1057);
    EXPECT_EQ(m_ui.Shows(), Marks(153, '-', "All Sat SatcoDxAll off"));
    m_ui.ClickGroup(8);
    EXPECT_EQ(m_ui.Shows(), Marks(23, '+', "SatcoDx9 SatcoDx9"));

    // Every opening starts on the first group with nothing selected.
    m_dialog.hide();
    m_dialog.show();
    EXPECT_EQ(m_ui.Shows(), Marks(7, '-', "SatcoDx1 SatcoDx1"));
    EXPECT_EQ(m_ui.Row(0), " 0030 (Telecom 2A)");
    for (int g = 0; g <= CTpListCreateDlg::kAllSat; ++g)
        EXPECT_FALSE(m_ui.Pressed(g)) << g;
    m_ui.ChooseGroup(8);
    EXPECT_EQ(m_ui.Shows(), Marks(23, '-', "SatcoDx9 SatcoDx9"));
}

TEST_F(TpListCreateDlgTest, DoubleClickFlipsOneSatelliteThatSurvivesAGroupChange)
{
    m_ui.DoubleClickRow(3);
    EXPECT_EQ(m_ui.Row(3), "0070 (Eutelsat W3)");
    EXPECT_EQ(m_ui.Shows(), "---+--- SatcoDx1 SatcoDx1");
    m_ui.ChooseGroup(4);
    EXPECT_EQ(m_ui.Shows(), Marks(14, '-', "SatcoDx5 SatcoDx5"));
    m_ui.ChooseGroup(0);
    EXPECT_EQ(m_ui.Shows(), "---+--- SatcoDx1 SatcoDx1");
    m_ui.DoubleClickRow(3);
    EXPECT_EQ(m_ui.Row(3), " 0070 (Eutelsat W3)");
    m_ui.ChooseGroup(1);
    m_ui.ChooseGroup(0);
    EXPECT_EQ(m_ui.Shows(), Marks(7, '-', "SatcoDx1 SatcoDx1"));
}

// Nothing selected, then a group whose files are missing, then the one satellite double-clicked: the
// dialog stays, and the last run writes List.c as the command line does.
TEST_F(TpListCreateDlgTest, ListFileReportsOrWritesTheSelection)
{
    TplistWorkDir dir;
    m_ui.Click(1002);
    EXPECT_EQ(m_ui.status->text(), " Check the TP & Sat ");
    EXPECT_FALSE(QFile::exists("List.c"));
    m_ui.ClickGroup(0);
    m_ui.Click(1002);
    EXPECT_EQ(m_messages.Texts(), QStringList { "File Read Error" });
    EXPECT_EQ(m_ui.status->text(), "SatcoDx1/0030.txt: No such file or directory");
    m_ui.ClickGroup(0);
    WriteFile("SatcoDx1/0130.txt", TestData("0130.txt"));
    m_ui.DoubleClickRow(5);
    m_ui.Click(1002);
    EXPECT_EQ(ReadFile("List.c"), TestData("List_one.c"));
    EXPECT_EQ(m_ui.status->text(), "List.c: lists 2, transponders 43");
    EXPECT_EQ(m_messages.Count(), 1);
    EXPECT_TRUE(m_dialog.isVisible());
}

// How each way out of the dialog reaches the main window, through the real start-up. The first
// "EXIT NOW?" is answered No.
TEST(TpListCreateDlgEnding, OnlyOkEndingsSpareTheNotOpenMessage)
{
    const auto enter = [](QWidget* control) {
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
    };
    const struct {
        const char* name;
        std::function<void(const Probe&)> act;
        QStringList texts;
    } endings[] = {
        { "Exit, No, Exit, Yes",
            [](const Probe& ui) {
                ui.Click(1000);
                EXPECT_TRUE(ui.dialog.isVisible());
                ui.Click(1000);
            },
            { "EXIT NOW?", "EXIT NOW?" } },
        { "close box", [](const Probe& ui) { ui.dialog.close(); }, { "Not Open" } },
        { "Enter on a toggle button", [&](const Probe& ui) { enter(Find(ui.dialog, 1050)); }, {} },
        { "Enter on Exit, No", [&](const Probe& ui) { enter(Find(ui.dialog, 1000)); }, { "EXIT NOW?", "Not Open" } },
    };
    SetModalHandler([](QDialog& dialog) { Find(dialog, 1024)->click(); });
    CTessavo2App app;
    ASSERT_TRUE(app.InitInstance());
    for (const auto& [name, act, texts] : endings) {
        const std::function<void(const Probe&)>& run = act;
        MessageRecorder messages;
        messages.QueueAnswer(IDNO);
        SetModalHandler([&run](QDialog& dialog) {
            ASSERT_NE(qobject_cast<CTpListCreateDlg*>(&dialog), nullptr);
            run(Probe { dialog });
        });
        app.MainFrame()->findChild<QAction*>("id32773")->trigger();
        EXPECT_EQ(messages.Texts(), texts) << name;
        QStringList captions;
        for (const QString& text : texts)
            captions << (text == "Not Open" ? ApplicationTitle() : QStringLiteral("Rcu File Create"));
        EXPECT_EQ(messages.Captions(), captions) << name;
    }
    SetModalHandler(nullptr);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
