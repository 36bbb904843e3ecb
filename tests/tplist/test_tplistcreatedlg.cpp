// The "TP List Create" dialog driven by real mouse and key events, headless.
#include "app/cmainframe.h"
#include "app/ctessavo2app.h"
#include "app/modaldialog.h"
#include "messagerecorder.h"
#include "tplist/ctplistcreatedlg.h"
#include "tplistworkdir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <map>
#include <numeric>

void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

template <typename T = QPushButton> T* Control(const QWidget& dialog, int id)
{
    T* control = dialog.findChild<T*>(QStringLiteral("id%1").arg(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

QListWidget* List(const QWidget& dialog)
{
    return Control<QListWidget>(dialog, 1045);
}
QComboBox* Combo(const QWidget& dialog)
{
    return Control<QComboBox>(dialog, 1046);
}
QString Status(const QWidget& dialog)
{
    return Control<QLabel>(dialog, 1047)->text();
}

void Click(const QWidget& dialog, int id)
{
    QTest::mouseClick(Control(dialog, id), Qt::LeftButton);
}
void ClickGroup(const QWidget& dialog, int g)
{
    Click(dialog, 1048 + g);
}

QStringList Rows(const QWidget& dialog)
{
    QStringList rows;
    for (int r = 0; r < List(dialog)->count(); ++r)
        rows << List(dialog)->item(r)->text();
    return rows;
}

// Indices of the rows shown as selected (no leading blank).
std::vector<int> OnRows(const QWidget& dialog)
{
    std::vector<int> on;
    const QStringList rows = Rows(dialog);
    for (int r = 0; r < rows.size(); ++r) {
        if (!rows[r].startsWith(QLatin1Char(' ')))
            on.push_back(r);
    }
    return on;
}

std::vector<int> Range(int count)
{
    std::vector<int> all(count);
    std::iota(all.begin(), all.end(), 0);
    return all;
}

// Moves the group combo box with the arrow keys, as a user would.
void ChooseGroup(const QWidget& dialog, int g)
{
    QComboBox* combo = Combo(dialog);
    while (combo->currentIndex() != g)
        QTest::keyClick(combo, combo->currentIndex() < g ? Qt::Key_Down : Qt::Key_Up);
}

void DoubleClickRow(const QWidget& dialog, int r)
{
    QListWidget* list = List(dialog);
    const QPoint at = list->visualItemRect(list->item(r)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

std::map<QString, QByteArray> OutputFiles()
{
    std::map<QString, QByteArray> files { { "List.c", TplistWorkDir::Read("List.c") } };
    for (QDirIterator it("TP_List", QDir::Files); it.hasNext();) {
        const QString path = it.next();
        files[path] = TplistWorkDir::Read(path);
    }
    return files;
}

void RemoveOutputFiles()
{
    QFile::remove("List.c");
    QDir("TP_List").removeRecursively();
    QDir().mkdir("TP_List");
}

// SatcoDX files for every satellite of SatcoDx1, with transponders in both bands.
void WriteGroupOneFiles()
{
    const char* positions[] = { "0030", "0050", "0051", "0070", "0100", "0160" };
    int n = 0;
    for (const char* pos : positions) {
        QByteArray text = "Heading\r\n";
        for (const char* freq : { "3.7", "11.778", "4.1", "12.5" })
            text += SatcoDxLine(QByteArray::number(QByteArray(freq).toDouble() + 0.001 * ++n).constData()) + "\r\n";
        TplistWorkDir::Write(QStringLiteral("SatcoDx1/%1.txt").arg(pos), text);
    }
    TplistWorkDir::Write("SatcoDx1/0130.txt", TplistWorkDir::TestData("0130.txt"));
}

class TpListCreateDlgTest : public ::testing::Test {
protected:
    void SetUp() override { m_dialog.show(); }

    MessageRecorder m_messages;
    CTpListCreateDlg m_dialog;
};

TEST_F(TpListCreateDlgTest, OpensOnAnUnselectedFirstGroupEveryTime)
{
    EXPECT_EQ(m_dialog.windowTitle(), "TP List Create");
    ClickGroup(m_dialog, 1);
    DoubleClickRow(m_dialog, 0);
    Click(m_dialog, 1057);
    m_dialog.hide();
    m_dialog.show();

    EXPECT_EQ(Rows(m_dialog).size(), 7);
    EXPECT_EQ(Rows(m_dialog).first(), " 0030 (Telecom 2A)");
    EXPECT_TRUE(OnRows(m_dialog).empty());
    EXPECT_EQ(Status(m_dialog), "SatcoDx1");
    EXPECT_EQ(Combo(m_dialog)->currentText(), "SatcoDx1");
    EXPECT_TRUE(List(m_dialog)->isEnabled() && Combo(m_dialog)->isEnabled());
    for (int id = 1048; id <= 1057; ++id)
        EXPECT_FALSE(Control(m_dialog, id)->isChecked()) << id;

    TplistWorkDir dir;
    Click(m_dialog, 1002);
    EXPECT_EQ(Status(m_dialog), " Check the TP && Sat ");
    EXPECT_FALSE(QFile::exists("List.c"));
    EXPECT_EQ(m_messages.Count(), 0);
}

TEST_F(TpListCreateDlgTest, GroupButtonsSelectAndTheComboBoxOnlyShows)
{
    ClickGroup(m_dialog, 1);
    EXPECT_EQ(OnRows(m_dialog), Range(13));
    EXPECT_EQ(Status(m_dialog), "SatcoDx2");
    ChooseGroup(m_dialog, 0);
    EXPECT_EQ(Rows(m_dialog).size(), 7);
    EXPECT_TRUE(OnRows(m_dialog).empty());
    EXPECT_EQ(Status(m_dialog), "SatcoDx1");
    ChooseGroup(m_dialog, 1);
    EXPECT_EQ(OnRows(m_dialog), Range(13));
    EXPECT_TRUE(Control(m_dialog, 1049)->isChecked());

    ClickGroup(m_dialog, 2);
    ClickGroup(m_dialog, 2);
    EXPECT_EQ(Rows(m_dialog).size(), 27);
    EXPECT_TRUE(OnRows(m_dialog).empty());
    EXPECT_FALSE(Control(m_dialog, 1050)->isChecked());
    EXPECT_EQ(Combo(m_dialog)->currentText(), "SatcoDx3");
}

TEST_F(TpListCreateDlgTest, AllSatBothWaysThenBackToOneGroup)
{
    Click(m_dialog, 1057);
    EXPECT_EQ(OnRows(m_dialog), Range(153));
    EXPECT_EQ(Rows(m_dialog).last(), "3592 (Thor 123)");
    EXPECT_FALSE(List(m_dialog)->isEnabled() || Combo(m_dialog)->isEnabled());
    EXPECT_EQ(Combo(m_dialog)->currentText(), "All Sat");
    EXPECT_EQ(Status(m_dialog), "SatcoDxAll");

    Click(m_dialog, 1057);
    EXPECT_EQ(Rows(m_dialog).size(), 153);
    EXPECT_TRUE(OnRows(m_dialog).empty());
    EXPECT_FALSE(List(m_dialog)->isEnabled() || Combo(m_dialog)->isEnabled());
    EXPECT_FALSE(Control(m_dialog, 1048)->isChecked());

    ClickGroup(m_dialog, 8);
    EXPECT_TRUE(List(m_dialog)->isEnabled() && Combo(m_dialog)->isEnabled());
    EXPECT_EQ(OnRows(m_dialog), Range(23));
    EXPECT_EQ(Combo(m_dialog)->currentText(), "SatcoDx9");
}

TEST_F(TpListCreateDlgTest, DoubleClickFlipsOneSatelliteThatSurvivesAGroupChange)
{
    DoubleClickRow(m_dialog, 3);
    EXPECT_EQ(Rows(m_dialog)[3], "0070 (Eutelsat W3)");
    EXPECT_EQ(OnRows(m_dialog), std::vector<int> { 3 });
    ChooseGroup(m_dialog, 4);
    EXPECT_TRUE(OnRows(m_dialog).empty());
    ChooseGroup(m_dialog, 0);
    EXPECT_EQ(OnRows(m_dialog), std::vector<int> { 3 });
    DoubleClickRow(m_dialog, 3);
    EXPECT_EQ(Rows(m_dialog)[3], " 0070 (Eutelsat W3)");
    ChooseGroup(m_dialog, 1);
    ChooseGroup(m_dialog, 0);
    EXPECT_TRUE(OnRows(m_dialog).empty());
}

TEST_F(TpListCreateDlgTest, ListFileWritesWhatTheCommandLineWrites)
{
    TplistWorkDir dir;
    WriteGroupOneFiles();
    ClickGroup(m_dialog, 0);
    DoubleClickRow(m_dialog, 3);
    Click(m_dialog, 1002);
    const auto fromDialog = OutputFiles();
    EXPECT_EQ(fromDialog.size(), 1 + 12u);
    EXPECT_EQ(m_dialog.BuildState().listCount, 12);
    EXPECT_EQ(Status(m_dialog), "Create File \"SatcoDx1/0160.txt\"");
    EXPECT_EQ(m_messages.Count(), 0);
    EXPECT_TRUE(m_dialog.isVisible());

    RemoveOutputFiles();
    QProcess cli;
    cli.start(qEnvironmentVariable("TESSAVO_BIN_DIR") + "/tessavo2-cli",
        { "tplist", "--sat", "0030", "0050", "0051", "0100", "0130", "0160" });
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_TRUE(cli.readAllStandardOutput().endsWith(Status(m_dialog).toLatin1() + "\n"));
    EXPECT_EQ(OutputFiles(), fromDialog);
}

TEST_F(TpListCreateDlgTest, ConversionFailuresAreShownAndTheDialogStays)
{
    TplistWorkDir dir;
    WriteGroupOneFiles();
    QFile::remove("SatcoDx1/0100.txt");
    ClickGroup(m_dialog, 0);
    Click(m_dialog, 1002);
    EXPECT_EQ(m_messages.Texts(), QStringList { "File Read Error" });
    EXPECT_TRUE(QFile::exists("TP_List/0070_K.tp"));
    EXPECT_FALSE(QFile::exists("TP_List/0100_C.tp"));
    EXPECT_TRUE(QFile::exists("List.c"));

    m_messages.Clear();
    WriteGroupOneFiles();
    QDir("TP_List").removeRecursively();
    Click(m_dialog, 1002);
    EXPECT_EQ(m_messages.Texts(), QStringList { "File Write Error" });
    EXPECT_EQ(m_messages.Captions(), QStringList { ApplicationTitle() });
    EXPECT_TRUE(m_dialog.isVisible());
}

// How each way out of the dialog reaches the main window, through the real start-up.
struct Ending {
    const char* name;
    std::function<void(CTpListCreateDlg&, MessageRecorder&)> act;
    QStringList messages;
};

TEST(TpListCreateDlgEnding, OnlyOkEndingsSpareTheNotOpenMessage)
{
    const std::vector<Ending> endings {
        { "Exit, No, Exit, Yes",
            [](CTpListCreateDlg& dialog, MessageRecorder& messages) {
                messages.QueueAnswer(IDNO);
                Click(dialog, 1000);
                EXPECT_TRUE(dialog.isVisible());
                Click(dialog, 1000);
            },
            { "EXIT NOW?", "EXIT NOW?" } },
        { "close box", [](CTpListCreateDlg& dialog, MessageRecorder&) { dialog.close(); }, { "Not Open" } },
        { "Esc", [](CTpListCreateDlg& dialog, MessageRecorder&) { QTest::keyClick(&dialog, Qt::Key_Escape); },
            { "Not Open" } },
        { "Enter on the list",
            [](CTpListCreateDlg& dialog, MessageRecorder&) {
                List(dialog)->setFocus();
                QTest::keyClick(List(dialog), Qt::Key_Return);
            },
            {} },
        { "Enter on a toggle button",
            [](CTpListCreateDlg& dialog, MessageRecorder&) {
                Control(dialog, 1050)->setFocus();
                QTest::keyClick(Control(dialog, 1050), Qt::Key_Return);
            },
            {} },
        { "Enter on Exit, No",
            [](CTpListCreateDlg& dialog, MessageRecorder& messages) {
                messages.QueueAnswer(IDNO);
                Control(dialog, 1000)->setFocus();
                QTest::keyClick(Control(dialog, 1000), Qt::Key_Return);
            },
            { "EXIT NOW?", "Not Open" } },
    };

    SetModalHandler([](QDialog& dialog) { Control(dialog, 1024)->click(); });
    CTessavo2App app;
    ASSERT_TRUE(app.InitInstance());
    QAction* rcuFileCreate = app.MainFrame()->findChild<QAction*>("id32773");
    ASSERT_NE(rcuFileCreate, nullptr);
    for (const Ending& ending : endings) {
        MessageRecorder messages;
        SetModalHandler([&](QDialog& dialog) {
            auto* tpList = qobject_cast<CTpListCreateDlg*>(&dialog);
            ASSERT_NE(tpList, nullptr);
            ending.act(*tpList, messages);
        });
        rcuFileCreate->trigger();
        EXPECT_EQ(messages.Texts(), ending.messages) << ending.name;
        QStringList captions;
        for (const QString& text : ending.messages)
            captions << (text == "Not Open" ? ApplicationTitle() : QStringLiteral("Rcu File Create"));
        EXPECT_EQ(messages.Captions(), captions) << ending.name;
    }
    SetModalHandler(nullptr);
}

// Every control inside the dialog, none over another, every caption and row readable.
TEST(TpListCreateDlgLayout, ControlsFitAndDoNotOverlap)
{
    CTpListCreateDlg dialog;
    dialog.show();
    ClickGroup(dialog, 0);
    DoubleClickRow(dialog, 1);
    const QList<QWidget*> controls = dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(controls.size(), 16);
    for (QWidget* control : controls) {
        EXPECT_TRUE(dialog.rect().contains(control->geometry())) << control->objectName().toStdString();
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            const QFontMetrics metrics(button->font());
            EXPECT_LE(metrics.horizontalAdvance(button->text()) + 8, button->width()) << button->text().toStdString();
            EXPECT_GE(button->height(), metrics.height()) << button->text().toStdString();
        }
        for (QWidget* other : controls) {
            if (other != control)
                EXPECT_FALSE(control->geometry().intersects(other->geometry()))
                    << control->objectName().toStdString() << " " << other->objectName().toStdString();
        }
    }
    QListWidget* list = List(dialog);
    EXPECT_GE(list->viewport()->width(), list->sizeHintForColumn(0));
    EXPECT_GE(Combo(dialog)->height(), Combo(dialog)->fontMetrics().height());
    const QString shots = qEnvironmentVariable("TESSAVO2_SHOT_DIR");
    if (!shots.isEmpty())
        EXPECT_TRUE(dialog.grab().save(shots + "/tp-list-create.png"));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
