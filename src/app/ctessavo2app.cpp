#include "app/ctessavo2app.h"

#include "app/cmainframe.h"
#include "app/ctessavo2view.h"
#include "transfer/ctransferengine.h"
#include "base/messagebox.h"
#include "preset/cpreseteditdlg.h"
#include "tplist/ctplistcreatedlg.h"

#include <QCoreApplication>

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
    editor->SetTransferLink(
        [&frame](int kind, const std::uint8_t* data, std::uint32_t length) {
            return frame.StartBufferTransfer(kind, data, length);
        },
        [&frame] { return frame.Engine().ReceivedLength(); });
    frame.SetPresetEditor(editor);
    return editor;
}
