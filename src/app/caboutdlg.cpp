#include "app/caboutdlg.h"

#include "base/dialogunits.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Tessavo2 정보"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    const CDialogUnits du(font());
    setFixedSize(du.X(235), du.Y(55));

    auto* icon = new QLabel(this);
    const QRect iconRect = du.Rect(11, 14, 21, 20);
    const int side = std::min(iconRect.width(), iconRect.height());
    icon->setPixmap(QApplication::windowIcon().isNull()
            ? style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(side, side)
            : QApplication::windowIcon().pixmap(side, side));
    icon->setGeometry(iconRect);

    auto* version = new QLabel(QStringLiteral("Tessavo2 버전 1.0"), this);
    du.Place(version, 40, 10, 130, 10);
    auto* tools = new QLabel(QStringLiteral("Preset Data Tools     Ver 2.0"), this);
    tools->setTextFormat(Qt::PlainText);
    du.Place(tools, 40, 26, 130, 10);

    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setObjectName(QStringLiteral("idok"));
    ok->setDefault(true);
    du.Place(ok, 178, 7, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
