#include "app/cmainframe.h"

#include "app/caboutdlg.h"
#include "app/chistorydlg.h"
#include "app/clockpanes.h"
#include "app/ctessavo2view.h"
#include "base/dialogunits.h"
#include "base/messagebox.h"
#include "base/modaldialog.h"
#include "base/screenfit.h"
#include "serial/cportsettingdlg.h"
#include "station/cstationwindow.h"
#include "transfer/ctransferengine.h"
#include "transfer/transferrecord.h"

#include <QCloseEvent>
#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStatusBar>

namespace {

constexpr int kWidth = 650;
constexpr int kHeight = 540;
// Enough for the menu bar, a corner of the form and the status bar.
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 200;

} // namespace

CMainFrame::CMainFrame()
    : m_engine(std::make_unique<CTransferEngine>())
{
    m_portSettingDlg = new CPortSettingDlg(this);
    m_portSettingDlg->setWindowModality(Qt::ApplicationModal);
    if (ExecModal(*m_portSettingDlg) != QDialog::Accepted) {
        ShowMessageBox(QStringLiteral("The End"));
        return;
    }
    m_bPortConfirmed = true;
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::Create()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ApplicationTitle());
    // The form keeps its size and scrolls when a screen (a scaled one, say) has no room for it; the
    // window never grows past the form.
    setMinimumSize(kMinWidth, kMinHeight);
    setMaximumSize(kWidth, kHeight);
    resize(kWidth, kHeight);
    CreateMenus();
    CreateStatusBar();
    CreateDevicePane();
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("formScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    m_view = new CTessavo2View(this);
    scroll->setWidget(m_view);
    setCentralWidget(scroll);
    FitWindowToScreen(*this);
    m_view->OnInitialUpdate();
}

void CMainFrame::CreateMenus()
{
    struct Item {
        const char* menu;
        const char* text;
        int id;
        const char* prompt;
        void (CMainFrame::*handler)();
    };
    // Prompts keep the resource form "status text\ntool tip".
    static const Item items[] = {
        { "File(&F)", "Exit(&X)", 57665, "Exit Program", nullptr },
        { "PortSetup(&P)", "Com Port Setup(&C)", 32771, "Setup Serial Com Port", &CMainFrame::OnPortSetup },
        { "Tools(&T)", "Edit Preset Data(&P)", 32772, "", &CMainFrame::OnEditPreset },
        { "Rcu File(&R)", "Rcu File Create(&R)", 32773, "", nullptr },
        { "Help(&H)", "Tessavo Info(&A)...", 57664, "Program Information \nInfo", &CMainFrame::OnAppAbout },
        { "Help(&H)", "Status Bar(&S)", 59393, "Toggle Status Bar\nStatus Bar", nullptr },
    };
    QMenu* menu = nullptr;
    QMenu* toolsMenu = nullptr;
    for (const Item& item : items) {
        const QString title = QString::fromLatin1(item.menu);
        if (!menu || menu->title() != title)
            menu = menuBar()->addMenu(title);
        if (item.id == 32772)
            toolsMenu = menu;
        QAction* action = menu->addAction(QString::fromLatin1(item.text));
        action->setObjectName(ResourceIdName(item.id));
        const QString prompt = QString::fromLatin1(item.prompt);
        action->setStatusTip(prompt.section(QLatin1Char('\n'), 0, 0));
        if (prompt.contains(QLatin1Char('\n')))
            action->setToolTip(prompt.section(QLatin1Char('\n'), 1));
        if (item.handler)
            connect(action, &QAction::triggered, this, item.handler);
    }
    connect(findChild<QAction*>(ResourceIdName(57665)), &QAction::triggered, this, &QWidget::close);
    connect(
        findChild<QAction*>(ResourceIdName(32773)), &QAction::triggered, this, [this] { m_view->OnRcuFileCreate(); });
    // Every transfer can be stopped: the port and the locked buttons come back without closing the program.
    m_cancelTransfer = toolsMenu->addAction(QStringLiteral("Cancel Transfer"));
    m_cancelTransfer->setObjectName(QStringLiteral("cancelTransfer"));
    m_cancelTransfer->setShortcut(QKeySequence(Qt::Key_Escape));
    m_cancelTransfer->setStatusTip(QStringLiteral("Stop the running transfer"));
    m_cancelTransfer->setEnabled(false);
    connect(m_cancelTransfer, &QAction::triggered, this, &CMainFrame::OnCancelTransfer);
    QAction* station = toolsMenu->addAction(QStringLiteral("Production Station(&S)"));
    station->setObjectName(QStringLiteral("productionStation"));
    station->setStatusTip(QStringLiteral("Flash every receiver plugged into the ticked lines"));
    connect(station, &QAction::triggered, this, &CMainFrame::OnProductionStation);
    QAction* history = toolsMenu->addAction(QStringLiteral("History(&H)..."));
    history->setObjectName(QStringLiteral("history"));
    history->setStatusTip(QStringLiteral("Past downloads"));
    connect(history, &QAction::triggered, this, &CMainFrame::OnHistory);
    connect(m_engine.get(), &CTransferEngine::TransferFinished, this, [this] { EndRecord(); });
    connect(m_engine.get(), &CTransferEngine::TransferStarted, m_cancelTransfer,
        [this] { m_cancelTransfer->setEnabled(true); });
    connect(m_engine.get(), &CTransferEngine::TransferFinished, m_cancelTransfer,
        [this] { m_cancelTransfer->setEnabled(m_engine->IsTransferRunning()); });
    QAction* statusBarToggle = findChild<QAction*>(ResourceIdName(59393));
    statusBarToggle->setCheckable(true);
    statusBarToggle->setChecked(true);
    connect(statusBarToggle, &QAction::toggled, this, [this](bool on) { statusBar()->setVisible(on); });
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("id59393"));
    bar->setSizeGripEnabled(false);
    bar->setContentsMargins(0, 0, 3, 0);
    // The message pane; the status bar hides it while a menu prompt is shown.
    auto* idle = new QLabel(QStringLiteral("준비"), bar);
    idle->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(idle, 1);
    new CLockPanes(*bar);
}

// The device of the last transfer, right of the indicator panes; hidden until the first one.
void CMainFrame::CreateDevicePane()
{
    m_devicePane = new QLabel(statusBar());
    m_devicePane->setObjectName(QStringLiteral("devicePane"));
    m_devicePane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addPermanentWidget(m_devicePane);
    m_devicePane->hide();
}

// The message box keeps its short text; the status bar says why the port did not open (the
// reason names the device, so the device pane makes room for it).
int CMainFrame::ReportOpening(int started)
{
    m_devicePane->setText(m_engine->PortDevice());
    const QString reason = started ? QString() : m_engine->LastOpenError();
    m_devicePane->setVisible(reason.isEmpty());
    statusBar()->setToolTip(reason);
    if (reason.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(reason);
    return started;
}

const PortSettings& CMainFrame::GetPortSettings() const
{
    return m_portSettingDlg->Settings();
}

// Buffer transfers of the preset editor report through the form too.
TransferSetup CMainFrame::Setup(TransferKind kind, unsigned expectedPackets) const
{
    return { m_view, GetPortSettings(), QString(), kind, expectedPackets };
}

int CMainFrame::StartFileTransfer(TransferKind kind)
{
    if (m_engine->IsTransferRunning())
        return ReportOpening(m_engine->StartFileTransfer(Setup(kind, 0), SendImage {}));
    SendImage image = ReadSendImage(m_selectedPath);
    const QByteArray bytes = image.failure.isEmpty() ? image.bytes : QByteArray();
    const int started = ReportOpening(m_engine->StartFileTransfer(Setup(kind, 0), std::move(image)));
    return BeginRecord(started, kind, m_selectedPath, bytes);
}

int CMainFrame::StartBufferTransfer(TransferKind kind, const uint8_t* data, uint32_t length, unsigned expectedPackets)
{
    const bool running = m_engine->IsTransferRunning();
    const int started = ReportOpening(m_engine->StartBufferTransfer(Setup(kind, expectedPackets), data, length));
    if (running)
        return started;
    return BeginRecord(started, kind, QString(),
        TraitsOf(kind).receives ? QByteArray() : QByteArray(reinterpret_cast<const char*>(data), length));
}

// Every transfer the window starts leaves a record, as the command line's --log does; a start that
// failed has ended already.
int CMainFrame::BeginRecord(int started, TransferKind kind, const QString& file, const QByteArray& bytes)
{
    m_record = std::make_unique<TransferRecord>();
    m_record->kind = QString::fromLatin1(TraitsOf(kind).name);
    m_record->file = file;
    if (!bytes.isEmpty())
        m_record->sha256 = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    m_recordTimer.start();
    if (!started)
        EndRecord();
    return started;
}

void CMainFrame::EndRecord()
{
    if (!m_record)
        return;
    const std::unique_ptr<TransferRecord> record = std::move(m_record);
    record->result = m_engine->LastResult();
    record->exitCode = RecordExitCode(record->result);
    record->port = QStringLiteral("COM%1").arg(GetPortSettings().port);
    record->device = m_engine->PortDevice();
    record->stats = m_engine->Stats();
    record->seconds = double(m_recordTimer.nsecsElapsed()) / 1e9;
    const QByteArray line = TransferRecordLine(*record);
    if (const QString failure = AppendToLog(HistoryPath(), line); !failure.isEmpty())
        statusBar()->showMessage(failure);
    m_view->ShowLastResult(HistoryRowSummary(QJsonDocument::fromJson(line).object()));
}

QString CMainFrame::HistoryPath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder + QStringLiteral("/history.jsonl");
}

void CMainFrame::OnHistory()
{
    CHistoryDlg history(ReadTransferRecords(HistoryPath()), this);
    ExecModal(history);
}

void CMainFrame::SetPresetEditor(QDialog* dialog)
{
    AdoptDialog(*this, m_presetEditDlg, dialog);
    // The editor is modal: Esc there stops its copy too.
    if (m_presetEditDlg && m_cancelTransfer)
        m_presetEditDlg->addAction(m_cancelTransfer);
}

void CMainFrame::OnCancelTransfer()
{
    m_engine->CancelTransfer();
}

void CMainFrame::OnPortSetup()
{
    ExecModal(*m_portSettingDlg);
}

void CMainFrame::OnEditPreset()
{
    if (m_presetEditDlg)
        ExecModal(*m_presetEditDlg);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg about(this);
    ExecModal(about);
}

// Not modal: the station runs for hours beside the single downloads and the editor.
void CMainFrame::OnProductionStation()
{
    if (!m_stationWindow)
        m_stationWindow = new CStationWindow(this);
    m_stationWindow->show();
    m_stationWindow->raise();
    m_stationWindow->activateWindow();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_stationWindow)
        m_stationWindow->close();
    m_engine->ClosePort();
    event->accept();
}
