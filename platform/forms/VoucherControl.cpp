#include "platform/forms/VoucherControl.h"

#include "platform/values/Values.h"
#include "platform/forms/Form.h"
#include "platform/forms/Units.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cmath>

namespace q7::forms {

class VoucherWidget : public QWidget {
public:
    VoucherWidget(VoucherControl* voucher, QWidget* parent) : QWidget(parent), voucher_(voucher) { setAutoFillBackground(true); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!voucher_)
            return;
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const double tx = Screen::twipsPerPixelX(), ty = Screen::twipsPerPixelY();
        const VoucherControl& v = *voucher_;
        int y = 4;
        if (!v.title_.isEmpty()) {
            QFont f = v.titleFont_;
            p.setFont(f);
            const int h = QFontMetrics(f).height() + 6;
            p.drawText(QRect(0, y, width(), h), Qt::AlignCenter, v.title_);
            y += h;
        }
        QFont normal(QStringLiteral("WenQuanYi Zen Hei"), 9);
        p.setFont(normal);
        const int lineH = static_cast<int>(VoucherControl::HeadLineTwips / ty);
        const int half = width() / 2;
        for (int i = 0; i < v.headKeys_.size(); ++i) {
            const int x = (i % 2) * half + 8;
            const int rowY = y + (i / 2) * lineH;
            p.setPen(QColor(0x40, 0x40, 0x40));
            p.drawText(QRect(x, rowY, 110, lineH), Qt::AlignVCenter | Qt::AlignLeft, v.headCaptions_[i]);
            p.setPen(Qt::black);
            p.drawText(QRect(x + 112, rowY, half - 130, lineH), Qt::AlignVCenter | Qt::AlignLeft,
                       values::toTextOrEmpty(v.head_.value(v.headKeys_[i])));
            p.setPen(QColor(0xb0, 0xb0, 0xb0));
            p.drawLine(x + 112, rowY + lineH - 3, x + half - 20, rowY + lineH - 3);
        }
        y += ((static_cast<int>(v.headKeys_.size()) + 1) / 2) * lineH + 6;
        bodyTop_ = y;
        const int rowH = static_cast<int>(VoucherControl::BodyLineTwips / ty);
        int x = 0;
        QList<int> xs;
        for (double w : v.bodyWidths_) {
            xs.append(x);
            x += static_cast<int>(std::lround(w / tx));
        }
        xs.append(x);
        p.fillRect(QRect(0, y, x, rowH), QColor(0xe4, 0xea, 0xf2));
        for (int c = 0; c < v.bodyKeys_.size(); ++c) {
            p.setPen(Qt::black);
            p.drawText(QRect(xs[c] + 3, y, xs[c + 1] - xs[c] - 6, rowH), Qt::AlignVCenter | Qt::AlignHCenter, v.bodyCaptions_[c]);
        }
        for (int r = 0; r < v.body_.size(); ++r) {
            const int rowY = y + (r + 1) * rowH;
            if (r + 1 == v.currentRow_)
                p.fillRect(QRect(0, rowY, x, rowH), QColor(0xcf, 0xe2, 0xff));
            for (int c = 0; c < v.bodyKeys_.size(); ++c)
                p.drawText(QRect(xs[c] + 3, rowY, xs[c + 1] - xs[c] - 6, rowH), Qt::AlignVCenter | Qt::AlignLeft,
                           values::toTextOrEmpty(v.body_[r].value(v.bodyKeys_[c])));
        }
        p.setPen(QColor(0xa0, 0xa0, 0xa0));
        const int bottom = y + (static_cast<int>(v.body_.size()) + 1) * rowH;
        for (int r = 0; r <= v.body_.size() + 1; ++r)
            p.drawLine(0, y + r * rowH, x, y + r * rowH);
        for (int c : xs)
            p.drawLine(c, y, c, bottom);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (!voucher_)
            return;
        const int rowH = static_cast<int>(VoucherControl::BodyLineTwips / Screen::twipsPerPixelY());
        const int row = (static_cast<int>(e->position().y()) - bodyTop_) / std::max(1, rowH);
        if (row >= 1)
            voucher_->bodyMouseDown(row, e->button() == Qt::RightButton ? RightButton : LeftButton);
    }

private:
    QPointer<VoucherControl> voucher_;
    int bodyTop_ = 0;
};

void VoucherControl::LoadTemplate(const QVariantList& entries)
{
    headKeys_.clear();
    headCaptions_.clear();
    bodyKeys_.clear();
    bodyCaptions_.clear();
    bodyWidths_.clear();
    for (const QVariant& entry : entries) {
        const QVariantMap e = entry.toMap();
        const QString section = e.value(QStringLiteral("Section")).toString();
        if (section == QLatin1String("T")) {
            title_ = e.value(QStringLiteral("Caption")).toString();
        } else if (section == QLatin1String("H")) {
            headKeys_.append(e.value(QStringLiteral("Key")).toString());
            headCaptions_.append(e.value(QStringLiteral("Caption")).toString());
        } else if (section == QLatin1String("B")) {
            bodyKeys_.append(e.value(QStringLiteral("Key")).toString());
            bodyCaptions_.append(e.value(QStringLiteral("Caption")).toString());
            bodyWidths_.append(e.value(QStringLiteral("Width")).toDouble());
        }
    }
    ClearData();
}

void VoucherControl::LoadData(const QVariantList& head, const QVariantList& body)
{
    head_ = head.isEmpty() ? QVariantMap() : head.first().toMap();
    body_.clear();
    for (const QVariant& row : body)
        body_.append(row.toMap());
    currentRow_ = body_.isEmpty() ? 0 : 1;
    fitToData();
}

void VoucherControl::ClearData()
{
    head_.clear();
    body_.clear();
    currentRow_ = 0;
    fitToData();
}

QVariant VoucherControl::GetBodyValue(int row, const QString& key) const
{
    if (row < 1 || row > body_.size())
        return QString();
    return body_[row - 1].value(key, QString());
}

QVariant VoucherControl::GetHeadValue(const QString& key) const { return head_.value(key, QString()); }

bool VoucherControl::IsBlankRow(int row) const
{
    if (row < 1 || row > body_.size())
        return true;
    for (const QVariant& v : body_[row - 1])
        if (!values::toTextOrEmpty(v).isEmpty())
            return false;
    return true;
}

void VoucherControl::setTitle(const QString& title)
{
    title_ = title;
    if (existingWidget())
        existingWidget()->update();
}

void VoucherControl::setCurrentRow(int row)
{
    currentRow_ = row;
    if (existingWidget())
        existingWidget()->update();
}

double VoucherControl::naturalWidth() const
{
    double width = 0;
    for (double w : bodyWidths_)
        width += w;
    return std::max(width, 6000.0);
}

double VoucherControl::naturalHeight() const
{
    const double title = title_.isEmpty() ? 0 : 600;
    return title + ((headKeys_.size() + 1) / 2) * HeadLineTwips + 90 + (body_.size() + 1) * BodyLineTwips + 60;
}

void VoucherControl::fitToData()
{
    setHeight(container() ? naturalHeight() / container()->twipsPerUnitY() : naturalHeight());
    if (existingWidget())
        existingWidget()->update();
}

void VoucherControl::bodyMouseDown(int row, int button, int shift)
{
    setCurrentRow(row);
    raise(QStringLiteral("BodyMouseDown"), QVariantList{button, shift, 0.0, 0.0});
}

void VoucherControl::keyDown(int keyCode, int shift)
{
    if (auto* form = dynamic_cast<Form*>(container()))
        keyCode = form->previewKeyDown(keyCode, shift);
    if (keyCode != 0)
        raise(QStringLiteral("KeyDown"), QVariantList{keyCode, shift});
}

QWidget* VoucherControl::createWidget(QWidget* parent) { return new VoucherWidget(this, parent); }

} // namespace q7::forms
