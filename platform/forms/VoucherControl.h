#pragma once

#include "platform/forms/Control.h"

#include <QFont>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace q7::forms {

// A voucher shown as a document: a title, head fields (caption and value,
// two to a line) and a body table, laid out by a template. Its natural size
// follows the template and the number of body rows. Events: BodyMouseDown
// (Button, Shift, X, Y) after the clicked body row became current, KeyDown
// (KeyCode, Shift).
class VoucherControl : public Control {
    Q_OBJECT
    Q_PROPERTY(QString Title READ title WRITE setTitle)
    Q_PROPERTY(QString TitleFontName READ titleFontName)
    Q_PROPERTY(double TitleFontSize READ titleFontSize)
    Q_PROPERTY(bool TitleFontBold READ titleFontBold)
    Q_PROPERTY(bool TitleFontItalic READ titleFontItalic)
    Q_PROPERTY(bool TitleFontUnderline READ titleFontUnderline)
    Q_PROPERTY(int CurrentRow READ currentRow WRITE setCurrentRow)
    Q_PROPERTY(int BodyRows READ bodyRows)
    Q_PROPERTY(int BodyScrollTop MEMBER bodyScrollTop)
    Q_PROPERTY(QVariant DataSource MEMBER dataSource)
public:
    using Control::Control;

    static constexpr double HeadLineTwips = 330;
    static constexpr double BodyLineTwips = 300;

    // Template entries: maps of Section ("T", "H", "B"), Key, Caption, Width.
    Q_INVOKABLE void LoadTemplate(const QVariantList& entries);
    // The head row and the body rows, each a map of key to value.
    Q_INVOKABLE void LoadData(const QVariantList& head, const QVariantList& body);
    Q_INVOKABLE void ClearData();
    // The value of a body row (1-based) under a key; empty when absent.
    Q_INVOKABLE QVariant GetBodyValue(int row, const QString& key) const;
    Q_INVOKABLE QVariant GetHeadValue(const QString& key) const;
    // True for a row that holds no data (beyond the body's rows, or blank).
    Q_INVOKABLE bool IsBlankRow(int row) const;

    QString title() const { return title_; }
    void setTitle(const QString& title);
    QString titleFontName() const { return titleFont_.family(); }
    double titleFontSize() const { return titleFont_.pointSizeF(); }
    bool titleFontBold() const { return titleFont_.bold(); }
    bool titleFontItalic() const { return titleFont_.italic(); }
    bool titleFontUnderline() const { return titleFont_.underline(); }
    int currentRow() const { return currentRow_; }
    void setCurrentRow(int row);
    int bodyRows() const { return static_cast<int>(body_.size()); }
    int bodyScrollTop = 0;
    QVariant dataSource;

    // The size the template and the data ask for (twips).
    double naturalWidth() const;
    double naturalHeight() const;
    const QStringList& bodyKeys() const { return bodyKeys_; }
    const QStringList& headKeys() const { return headKeys_; }

    // The user presses a mouse button on a body row (1-based).
    void bodyMouseDown(int row, int button, int shift = 0);
    void keyDown(int keyCode, int shift = 0);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    friend class VoucherWidget;
    void fitToData();
    QString title_;
    QFont titleFont_ = QFont(QStringLiteral("WenQuanYi Zen Hei"), 15, QFont::Bold);
    QStringList headKeys_, headCaptions_, bodyKeys_, bodyCaptions_;
    QList<double> bodyWidths_;
    QVariantMap head_;
    QList<QVariantMap> body_;
    int currentRow_ = 0;
};

} // namespace q7::forms
