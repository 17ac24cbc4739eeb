#include "platform/recordset.h"

#include "platform/runtime_error.h"

namespace platform {

const QString& Field::name() const { return rs_->columns_[column_].info.name; }
int Field::definedSize() const { return rs_->columns_[column_].info.definedSize; }
ColumnKind Field::kind() const { return rs_->columns_[column_].info.kind; }

QVariant Field::value() const {
    rs_->requireCurrent();
    return rs_->cell(rs_->position_, column_);
}

bool Field::isNull() const {
    rs_->requireCurrent();
    return rs_->isNullCell(rs_->position_, column_);
}

QStringView Field::textView(QString& scratch, const QLocale& locale) const {
    rs_->requireCurrent();
    const Recordset::Column& c = rs_->columns_[column_];
    const qsizetype row = rs_->position_;
    if (c.nulls[row]) return {};
    if (c.textOnly) {
        const QStringView text = c.texts.at(row);
        if (c.info.kind != ColumnKind::ExactNumber) return text;
        scratch = exactNumberText(text, locale);
        return scratch;
    }
    scratch = valueText(c.variants[row], c.info.kind, locale);
    return scratch;
}

void Recordset::Column::toVariants() {
    if (!textOnly) return;
    textOnly = false;
    variants.reserve(nulls.size());
    for (qsizetype r = 0; r < texts.size(); ++r) {
        if (nulls[size_t(r)]) variants.emplace_back();  // Null: an invalid QVariant
        else variants.emplace_back(texts.at(r).toString());
    }
    texts.clear();
}

void Recordset::open(std::vector<FieldInfo> fields) {
    close();
    columns_.clear();
    columns_.resize(fields.size());
    for (size_t i = 0; i < fields.size(); ++i) columns_[i].info = std::move(fields[i]);
    open_ = true;
}

void Recordset::append(const QVariant& cell, bool null) {
    Column& c = columns_[pending_];
    null = null || !cell.isValid();
    c.nulls.push_back(null);
    if (c.textOnly && !null && cell.metaType().id() != QMetaType::QString) c.toVariants();
    if (c.textOnly) {
        c.texts.append(null ? QString() : cell.toString());
    } else {
        c.variants.push_back(null ? QVariant() : cell);
    }
    if (++pending_ == qsizetype(columns_.size())) {
        pending_ = 0;
        ++rows_;
    }
}

void Recordset::setFieldSizes(const std::vector<FieldInfo>& fields) {
    for (size_t i = 0; i < fields.size() && i < columns_.size(); ++i) columns_[i].info = fields[i];
}

void Recordset::appendText(QStringView text) {
    Column& c = columns_[pending_];
    if (!c.textOnly) return append(text.toString());
    c.nulls.push_back(false);
    c.texts.append(text);
    if (++pending_ == qsizetype(columns_.size())) {
        pending_ = 0;
        ++rows_;
    }
}

void Recordset::finishLoad() {
    for (auto& c : columns_) {
        c.texts.squeeze();
        c.variants.shrink_to_fit();
        c.nulls.shrink_to_fit();
    }
    position_ = 0;
}

void Recordset::close() {
    open_ = false;
    columns_.clear();
    rows_ = 0;
    pending_ = 0;
    position_ = 0;
}

void Recordset::requireOpen() const {
    if (!open_) throw RuntimeError::of(kObjectClosed);
}

void Recordset::requireCurrent() const {
    requireOpen();
    if (bof() || eof()) throw RuntimeError::of(kBofOrEof);
}

bool Recordset::bof() const {
    requireOpen();
    return rows_ == 0 || position_ < 0;
}

bool Recordset::eof() const {
    requireOpen();
    return position_ >= rows_;
}

void Recordset::moveFirst() {
    requireOpen();
    if (rows_ == 0) throw RuntimeError::of(kBofOrEof);
    position_ = 0;
}

void Recordset::moveNext() {
    requireOpen();
    if (position_ >= rows_) throw RuntimeError::of(kBofOrEof);
    ++position_;
}

int Recordset::fieldCount() const {
    requireOpen();
    return int(columns_.size());
}

qsizetype Recordset::recordCount() const {
    requireOpen();
    return rows_;
}

Field Recordset::fields(int index) const {
    requireOpen();
    if (index < 0 || index >= int(columns_.size())) throw RuntimeError::of(kItemNotFound);
    return Field(this, index);
}

Field Recordset::fields(const QString& name) const {
    requireOpen();
    for (int i = 0; i < int(columns_.size()); ++i)
        if (columns_[i].info.name.compare(name, Qt::CaseInsensitive) == 0) return Field(this, i);
    throw RuntimeError::of(kItemNotFound);
}

size_t Recordset::textSize(int column) const {
    requireOpen();
    const Column& c = columns_.at(size_t(column));
    return c.textOnly ? size_t(c.texts.charCount()) : 0;
}

bool Recordset::isTextColumn(int column) const {
    requireOpen();
    return columns_.at(size_t(column)).textOnly;
}

std::optional<std::vector<TextColumn>> Recordset::takeTextColumns() {
    requireOpen();
    if (position_ != 0 || rows_ == 0) return std::nullopt;
    for (const Column& c : columns_)
        if (!c.textOnly || c.info.kind == ColumnKind::ExactNumber) return std::nullopt;
    std::vector<TextColumn> texts(columns_.size());
    for (size_t i = 0; i < columns_.size(); ++i) {
        texts[i] = std::move(columns_[i].texts);
        columns_[i].textOnly = false;  // the cells are gone: reading one now raises, as at EOF
        columns_[i].nulls.assign(columns_[i].nulls.size(), true);
    }
    position_ = rows_;
    return texts;
}

bool Recordset::isNullCell(qsizetype row, int column) const { return columns_[column].nulls[row]; }

QVariant Recordset::cell(qsizetype row, int column) const {
    const Column& c = columns_[column];
    if (c.nulls[row]) return QVariant();
    if (!c.textOnly) return c.variants[row];
    return c.texts.at(row).toString();
}

}  // namespace platform
