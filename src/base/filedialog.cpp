#include "base/filedialog.h"

#include "base/modaldialog.h"

#include <QFileDialog>

namespace {

FileDialogHandler& Handler()
{
    static FileDialogHandler handler;
    return handler;
}

QString RunFileDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(request.parent, QString(), request.directory, request.filter);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.initialName.contains(QLatin1Char('*')))
        dialog.selectFile(request.initialName);
    if (ExecModal(dialog) != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace

QString GetFileName(const FileDialogRequest& request)
{
    if (const FileDialogHandler& handler = Handler())
        return handler(request);
    return RunFileDialog(request);
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler)
{
    FileDialogHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}
