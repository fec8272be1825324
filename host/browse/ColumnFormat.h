#pragma once

#include "platform/ObjectRef.h"
#include "platform/data/Ado.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

namespace q7::host::browse {

inline constexpr const char* ColumnFormatClassId = "Q7Host.ColumnFormat";
inline constexpr const char* ResLogClassId = "LingvarPkg.ResLog";

class FormatColumn : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(QString Key MEMBER key)
    Q_PROPERTY(bool Visible MEMBER visible)
    Q_PROPERTY(int Width MEMBER width)
    Q_PROPERTY(int Alignment MEMBER alignment)
public:
    QString caption, key;
    bool visible = true;
    int width = 1000;
    int alignment = 1; // the grid's codes: 1 left, 7 right
};

class FormatColumnList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ count)
public:
    int count() const { return static_cast<int>(columns.size()); }
    Q_INVOKABLE QVariant Item(int index) const; // 1-based
    QList<QSharedPointer<FormatColumn>> columns;
};

// A grid's column set per user: captions, keys, shown flags and widths,
// kept in the account database per login. The settings dialog lets the user
// show, hide and size the columns.
class ColumnFormat : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant Columns READ columnsValue)
    Q_PROPERTY(int FixedCols MEMBER fixedCols)
    Q_PROPERTY(QString FieldList READ fieldList)
    Q_PROPERTY(bool FlatGrid MEMBER flatGrid)
    Q_PROPERTY(bool Changed MEMBER changed)
public:
    // The connection string of the account database and the login's text.
    Q_INVOKABLE void Init(const QString& connectionString, const QString& loginText);
    // Loads a column set: its defaults overlaid by the login's saved settings.
    Q_INVOKABLE bool Load(const QString& setKey);
    // Opens the settings dialog (mode 0); Changed tells whether the user changed anything.
    Q_INVOKABLE void ShowSettings(int mode);
    Q_INVOKABLE bool IsChanged() const { return changed; }

    QVariant columnsValue() const { return fromObject(columns_); }
    QString fieldList() const;
    const QList<QSharedPointer<FormatColumn>>& columns() const { return columns_->columns; }

    int fixedCols = 0;
    bool flatGrid = true;
    bool changed = false;

    // The settings as the dialog edits them: one entry per column.
    struct Setting {
        QString key, caption;
        bool visible;
        int width;
    };
    // Replaces the dialog (tests, scripted sessions): edits the settings, answers whether OK was pressed.
    using Editor = std::function<bool(QList<Setting>&)>;
    static void setEditor(Editor editor);

private:
    void save();
    QSharedPointer<data::Connection> connection_ = makeObject<data::Connection>();
    QString login_, setKey_;
    QSharedPointer<FormatColumnList> columns_ = makeObject<FormatColumnList>();
};

// The multi-language resource log: forms tell it when they unload.
class ResLog : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void Unload();
    static int unloadCount();
};

} // namespace q7::host::browse
