#pragma once

#include "host/db/AccountDatabase.h"

#include <QDialog>

class QLineEdit;
class QSpinBox;

namespace q7::app::gui {

// Asks where to create a synthetic account and how large (parts, levels,
// lines per BOM), then creates it with a progress dialog.
class SyntheticAccountDialog : public QDialog {
    Q_OBJECT
public:
    explicit SyntheticAccountDialog(QWidget* parent = nullptr);

    QString path() const;
    host::db::SyntheticOptions options() const;
    QLineEdit* pathEdit() const { return path_; }
    QSpinBox* partsBox() const { return parts_; }

    // Creates the account (asking before replacing one); the path when made, "" when not.
    QString create();

private:
    QLineEdit* path_ = nullptr;
    QSpinBox* parts_ = nullptr;
    QSpinBox* depth_ = nullptr;
    QSpinBox* fanout_ = nullptr;
};

} // namespace q7::app::gui
