#include "app/ctessavo2app.h"

#include "app/cmainframe.h"
#include "app/ctessavo2view.h"
#include "base/messagebox.h"
#include "preset/cpreseteditdlg.h"
#include "tplist/ctplistcreatedlg.h"
#include "transfer/ctransferengine.h"

#include <QCoreApplication>
#include <memory>
#include <utility>

CTessavo2App::CTessavo2App() = default;

CTessavo2App::~CTessavo2App() = default;

bool CTessavo2App::InitInstance()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(ApplicationTitle());
    m_mainFrame = std::make_unique<CMainFrame>();
    if (!m_mainFrame->PortConfirmed()) {
        m_mainFrame.reset();
        m_exitCode = 1;
        return false;
    }
    m_mainFrame->Create();
    m_mainFrame->View()->SetTpListCreateDialog(new CTpListCreateDlg);
    InstallPresetEditor(*m_mainFrame);
    m_mainFrame->show();
    return true;
}

CPresetEditDlg* InstallPresetEditor(CMainFrame& frame)
{
    auto* editor = new CPresetEditDlg;
    auto copyRunning = std::make_shared<bool>(false);
    editor->SetTransferLink(
        [&frame, copyRunning](TransferKind kind, const std::uint8_t* data, std::uint32_t length, unsigned packets) {
            const int started = frame.StartBufferTransfer(kind, data, length, packets);
            *copyRunning = *copyRunning || started != 0;
            return started;
        },
        [&frame] { return frame.Engine().ReceivedData(); });
    // A copy that did not complete has had its buttons unlocked by the engine's end notice; the editor's
    // status line then says why it ended (cancelled, line lost, receiver out of step).
    QObject::connect(
        &frame.Engine(), &CTransferEngine::TransferFinished, editor, [&frame, editor, copyRunning](bool ok) {
            const bool wasCopy = std::exchange(*copyRunning, false);
            const QString why = frame.Engine().LastStatusText();
            if (wasCopy && !ok && !why.isEmpty())
                editor->SetStatusText(why);
        });
    frame.SetPresetEditor(editor);
    return editor;
}
