#include "platform/forms/Grid.h"

#include "platform/values/Values.h"

#include "platform/AutomationError.h"
#include "platform/forms/Keys.h"
#include "platform/forms/Units.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>

namespace q7::forms {

void Grid::checkCell(int row, int col) const
{
    if (row < 0 || row >= rows() || col < 0 || col >= cols_)
        throw AutomationError(381, QStringLiteral("Subscript out of range"));
}

void Grid::setRows(int rows)
{
    if (rows < fixedRows_ || rows < 0)
        throw AutomationError(ErrInvalidPropertyValue);
    cells_.resize(rows, QStringList(cols_));
    cellAlignments_.resize(rows, QVector<int>(cols_, 0));
    rowHeights_.resize(rows, 240);
    row_ = std::min(row_, std::max(rows - 1, 0));
    sync();
}

void Grid::setCols(int cols)
{
    if (cols < fixedCols_ || cols < 0)
        throw AutomationError(ErrInvalidPropertyValue);
    cols_ = cols;
    for (QStringList& r : cells_) {
        while (r.size() < cols)
            r.append(QString());
        while (r.size() > cols)
            r.removeLast();
    }
    for (QVector<int>& r : cellAlignments_)
        r.resize(cols, 0);
    colWidths_.resize(cols, 960);
    colAlignments_.resize(cols, 0);
    col_ = std::min(col_, std::max(cols - 1, 0));
    sync();
}

void Grid::setFixedRows(int n)
{
    if (n < 0 || n > rows())
        throw AutomationError(ErrInvalidPropertyValue);
    fixedRows_ = n;
    sync();
}

void Grid::setFixedCols(int n)
{
    if (n < 0 || n > cols_)
        throw AutomationError(ErrInvalidPropertyValue);
    fixedCols_ = n;
    sync();
}

void Grid::setFormatString(const QString& format)
{
    format_ = format;
    const QStringList captions = format.split(u'|');
    if (captions.size() > cols_)
        setCols(static_cast<int>(captions.size()));
    for (qsizetype c = 0; c < captions.size() && rows() > 0; ++c)
        cells_[0][c] = captions[c];
    sync();
}

void Grid::setRow(int row)
{
    checkCell(row, col_);
    row_ = row;
}

void Grid::setCol(int col)
{
    checkCell(row_, col);
    col_ = col;
}

int Grid::cellAlignment() const
{
    checkCell(row_, col_);
    return cellAlignments_[row_][col_];
}

void Grid::setCellAlignment(int alignment)
{
    checkCell(row_, col_);
    cellAlignments_[row_][col_] = alignment;
}

void Grid::setRedraw(bool redraw)
{
    redraw_ = redraw;
    if (redraw)
        sync();
}

void Grid::SetColWidth(int col, double width)
{
    checkCell(0, col);
    colWidths_[col] = width;
    sync();
}
double Grid::ColWidth(int col) const
{
    checkCell(0, col);
    return colWidths_[col];
}
void Grid::SetColAlignment(int col, int alignment)
{
    checkCell(0, col);
    colAlignments_[col] = alignment;
}
int Grid::ColAlignment(int col) const
{
    checkCell(0, col);
    return colAlignments_[col];
}
void Grid::SetRowHeight(int row, double height)
{
    checkCell(row, 0);
    rowHeights_[row] = height;
    sync();
}
double Grid::RowHeight(int row) const
{
    checkCell(row, 0);
    return std::max<double>(rowHeights_[row], rowHeightMin);
}

void Grid::AddItem(const QString& tabSeparated)
{
    QStringList cells = tabSeparated.split(u'\t');
    while (cells.size() < cols_)
        cells.append(QString());
    while (cells.size() > cols_)
        cells.removeLast();
    cells_.append(cells);
    cellAlignments_.append(QVector<int>(cols_, 0));
    rowHeights_.append(240);
    sync();
}

QString Grid::TextMatrix(int row, int col) const
{
    checkCell(row, col);
    return cells_[row][col];
}

void Grid::SetTextMatrix(int row, int col, const QString& text)
{
    checkCell(row, col);
    cells_[row][col] = text;
    sync();
}

QWidget* Grid::createWidget(QWidget* parent)
{
    auto* table = new QTableWidget(parent);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    QObject::connect(table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!syncing_ && item)
            editCell(item->row(), item->column(), item->text());
    });
    QObject::connect(table, &QTableWidget::currentCellChanged, this, [this](int row, int col) {
        if (!syncing_ && row >= 0 && col >= 0 && row < rows() && col < cols_) {
            row_ = row;
            col_ = col;
        }
    });
    forwardKeys(table, [this](int keyCode, int shift) { return keyDown(keyCode, shift); });
    return table;
}

void Grid::selectCell(int row, int col)
{
    checkCell(row, col);
    row_ = row;
    col_ = col;
    if (auto* table = qobject_cast<QTableWidget*>(existingWidget()))
        table->setCurrentCell(row, col);
}

int Grid::keyDown(int keyCode, int shift)
{
    QVariantList args{keyCode, shift};
    raise(QStringLiteral("KeyDown"), args);
    return values::toLong(args[0]);
}

void Grid::editCell(int row, int col, const QString& text)
{
    checkCell(row, col);
    if (!editable || row < fixedRows_ || col < fixedCols_ || cells_[row][col] == text)
        return;
    const QString before = cells_[row][col];
    QVariantList args{row, col, text, false};
    raise(QStringLiteral("CellChanged"), args);
    // a handler that wrote the cell itself (a converted or computed text) keeps what it wrote
    if (!values::toBoolean(args[3]) && cells_[row][col] == before)
        cells_[row][col] = text;
    // the handler may have refreshed the grid; a refused text goes back to what the cell holds
    sync();
}

void Grid::sync()
{
    auto* table = qobject_cast<QTableWidget*>(existingWidget());
    if (!table || !redraw_)
        return;
    const QSignalBlocker quiet(table);
    syncing_ = true;
    table->setRowCount(rows());
    table->setColumnCount(cols_);
    for (int r = 0; r < rows(); ++r)
        for (int c = 0; c < cols_; ++c) {
            auto* item = new QTableWidgetItem(cells_[r][c]);
            const bool fixed = r < fixedRows_ || c < fixedCols_;
            if (fixed)
                item->setBackground(QColor(0xe4, 0xe4, 0xe4));
            if (fixed || !editable)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            table->setItem(r, c, item);
        }
    if (row_ < rows() && col_ < cols_ && (row_ >= fixedRows_ || col_ >= fixedCols_))
        table->setCurrentCell(row_, col_);
    syncing_ = false;
    for (int c = 0; c < cols_; ++c)
        table->setColumnWidth(c, static_cast<int>(colWidths_[c] / Screen::twipsPerPixelX()));
    for (int r = 0; r < rows(); ++r)
        table->setRowHeight(r, static_cast<int>(RowHeight(r) / Screen::twipsPerPixelY()));
}

} // namespace q7::forms
