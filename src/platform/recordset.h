#pragma once

#include "platform/text_column.h"
#include "platform/value_text.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <optional>
#include <vector>

// A recordset with a static cursor: its rows are fixed as
// they were when it was opened, walked forward with the BOF/EOF marks. Cells are kept per
// column; text columns as one UTF-16 buffer with end offsets, so a large result stays
// compact.
namespace platform {

struct FieldInfo {
    QString name;
    int definedSize = 0;
    ColumnKind kind = ColumnKind::Plain;
};

class Recordset;

// One field of the current row, by value; it reads through to the recordset.
class Field {
public:
    const QString& name() const;
    int definedSize() const;
    ColumnKind kind() const;
    // The cell, typed and locale-free; a Null cell is an invalid QVariant, distinct from an
    // empty text.
    QVariant value() const;
    bool isNull() const;
    // The cell as the user reads it (valueText in `locale`), without copying when the column
    // holds plain text: a view into the recordset, or into `scratch` for other values. Null
    // reads as the empty text.
    QStringView textView(QString& scratch, const QLocale& locale) const;

private:
    friend class Recordset;
    Field(const Recordset* rs, int column) : rs_(rs), column_(column) {}
    const Recordset* rs_;
    int column_;
};

class Recordset {
public:
    Recordset() = default;

    // Building (by the data access layer): open with the columns, then append cells row by row.
    void open(std::vector<FieldInfo> fields);
    void append(const QVariant& cell, bool null = false);
    void appendText(QStringView text);
    // Replaces the names and defined sizes, once the load has measured what it had to.
    void setFieldSizes(const std::vector<FieldInfo>& fields);
    // Ends the load: the cursor stands on the first row, or BOF and EOF are both set.
    void finishLoad();

    bool isOpen() const { return open_; }
    void close();

    bool bof() const;
    bool eof() const;
    void moveFirst();
    void moveNext();

    int fieldCount() const;
    qsizetype recordCount() const;
    Field fields(int index) const;
    // By name, ignoring case; no such field raises error 3265.
    Field fields(const QString& name) const;

    // Characters held by a text column (0 for other columns): room a copy can reserve.
    size_t textSize(int column) const;
    bool isTextColumn(int column) const;
    // Hands over every column's texts (Null as the empty text) when every column holds
    // only plain text (not exact numbers kept as text) and the cursor stands on the first row: the recordset is then walked to its
    // end, as a reader that copied each row would have left it. Nothing otherwise.
    std::optional<std::vector<TextColumn>> takeTextColumns();

    // Direct cell access for loaders that walk the whole result (no cursor involved).
    QVariant cell(qsizetype row, int column) const;
    bool isNullCell(qsizetype row, int column) const;

private:
    friend class Field;
    struct Column {
        FieldInfo info;
        bool textOnly = true;                 // every non-Null cell so far is text
        TextColumn texts;                     // the texts while the column holds only text
        std::vector<QVariant> variants;       // used once a non-text value appears
        std::vector<bool> nulls;
        void toVariants();
    };
    void requireOpen() const;
    void requireCurrent() const;

    bool open_ = false;
    std::vector<Column> columns_;
    qsizetype rows_ = 0;
    qsizetype pending_ = 0;  // cells appended for the row being built
    qsizetype position_ = 0;
};

}  // namespace platform
