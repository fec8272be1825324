#pragma once

#include "platform/forms/Control.h"

#include <QStringList>
#include <QVector>

namespace q7::forms {

// A grid of texts: rows and columns with fixed (header) rows and columns, a
// format string of "|"-separated header captions, column widths and
// alignments, the current cell, row heights, redraw switch, AddItem of a
// tab-separated line. The current cell follows the user's moves in the
// widget; keys pressed there raise KeyDown (KeyCode, Shift) first.
class Grid : public Control {
    Q_OBJECT
    Q_PROPERTY(int Rows READ rows WRITE setRows)
    Q_PROPERTY(int Cols READ cols WRITE setCols)
    Q_PROPERTY(int FixedRows READ fixedRows WRITE setFixedRows)
    Q_PROPERTY(int FixedCols READ fixedCols WRITE setFixedCols)
    Q_PROPERTY(QString FormatString READ formatString WRITE setFormatString)
    Q_PROPERTY(int Row READ row WRITE setRow)
    Q_PROPERTY(int Col READ col WRITE setCol)
    Q_PROPERTY(int CellAlignment READ cellAlignment WRITE setCellAlignment)
    Q_PROPERTY(int RowHeightMin MEMBER rowHeightMin)
    Q_PROPERTY(bool Redraw READ redraw WRITE setRedraw)
    Q_PROPERTY(bool Editable MEMBER editable)
public:
    using Control::Control;

    int rows() const { return static_cast<int>(cells_.size()); }
    void setRows(int rows);
    int cols() const { return cols_; }
    void setCols(int cols);
    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int n);
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int n);
    QString formatString() const { return format_; }
    void setFormatString(const QString& format); // captions into row 0
    int row() const { return row_; }
    void setRow(int row);
    int col() const { return col_; }
    void setCol(int col);
    int cellAlignment() const;
    void setCellAlignment(int alignment);
    bool redraw() const { return redraw_; }
    void setRedraw(bool redraw);
    int rowHeightMin = 0;
    // Whether a person may type into the cells that are not fixed.
    bool editable = false;

    // A person typed a text into a cell: raises CellChanged(row, col, text,
    // cancel); the cell keeps the text unless the handler cancels.
    void editCell(int row, int col, const QString& text);
    // Makes a cell the current one, in the widget too.
    void selectCell(int row, int col);
    // A key went down in the grid; the key code left for the grid.
    int keyDown(int keyCode, int shift);

    Q_INVOKABLE void SetColWidth(int col, double width);
    Q_INVOKABLE double ColWidth(int col) const;
    Q_INVOKABLE void SetColAlignment(int col, int alignment);
    Q_INVOKABLE int ColAlignment(int col) const;
    Q_INVOKABLE void SetRowHeight(int row, double height);
    Q_INVOKABLE double RowHeight(int row) const;
    Q_INVOKABLE void AddItem(const QString& tabSeparated);
    Q_INVOKABLE QString TextMatrix(int row, int col) const;
    Q_INVOKABLE void SetTextMatrix(int row, int col, const QString& text);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    void checkCell(int row, int col) const;
    void sync();
    QVector<QStringList> cells_ = QVector<QStringList>(2, QStringList(2));
    QVector<QVector<int>> cellAlignments_ = QVector<QVector<int>>(2, QVector<int>(2, 0));
    int cols_ = 2, fixedRows_ = 1, fixedCols_ = 1, row_ = 0, col_ = 0;
    QString format_;
    QVector<double> colWidths_ = QVector<double>(2, 960);
    QVector<int> colAlignments_ = QVector<int>(2, 0);
    QVector<double> rowHeights_ = QVector<double>(2, 240);
    bool redraw_ = true;
    bool syncing_ = false;
};

} // namespace q7::forms
