#pragma once

#include <QLineEdit>

// The edit field of a CGridDropList. The list owns the key handling; the field only keeps
// Alt combinations from reaching the dialog's mnemonics while an edit runs.
class CGridDropListEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CGridDropListEdit(QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
