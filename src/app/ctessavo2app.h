#pragma once

#include <memory>

class CMainFrame;
class CPresetEditDlg;

// Start-up of the desktop tool: profile, then the main window (whose construction asks for the
// port settings first), then the form.
class CTessavo2App {
public:
    CTessavo2App();
    ~CTessavo2App();

    // False when start-up ends the program; ExitCode() then gives its exit code.
    [[nodiscard]] bool InitInstance();
    [[nodiscard]] int ExitCode() const { return m_exitCode; }
    [[nodiscard]] CMainFrame* MainFrame() const { return m_mainFrame.get(); }

private:
    std::unique_ptr<CMainFrame> m_mainFrame;
    int m_exitCode = 0;
};

// Gives the main window its editor, with the copy buttons wired to the main window's transfer engine.
CPresetEditDlg* InstallPresetEditor(CMainFrame& frame);
