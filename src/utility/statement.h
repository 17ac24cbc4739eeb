#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace utility {

// What one engine does for a statement of the session; failures raise a database error.
class StatementEngine {
public:
    virtual ~StatementEngine() = default;
    virtual void bind(int index, const QVariant& value) = 0;
    virtual void run() = 0;
    virtual bool next() = 0;
    virtual QVariant value(int index) const = 0;
    virtual QStringList columnNames() const = 0;
    virtual long long rowsAffected() const = 0;
    virtual void finish() = 0;
};

// A statement of the session, prepared once: bind its values, run it (through the
// session, which checks that it is still open), then read its rows forward. Values come
// back as SQLite gives them: integers as 64-bit integers, reals as doubles, texts, blobs
// as bytes, Null as a null text.
class Statement {
public:
    Statement() = default;
    explicit Statement(std::unique_ptr<StatementEngine> engine) : engine_(std::move(engine)) {}

    bool isPrepared() const { return engine_ != nullptr; }
    // Values by position, counted from 0; they stay bound for the next run.
    void bind(int index, const QVariant& value) { engine_->bind(index, value); }
    void run() { engine_->run(); }
    // The next row; false after the last one.
    bool next() { return engine_->next(); }
    QVariant value(int index) const { return engine_->value(index); }
    QStringList columnNames() const { return engine_->columnNames(); }
    // Rows the last run touched (-1 when the driver does not say).
    long long rowsAffected() const { return engine_->rowsAffected(); }
    // Done with the rows of this run; the statement stays prepared.
    void finish() {
        if (engine_) engine_->finish();
    }

private:
    std::unique_ptr<StatementEngine> engine_;
};

}  // namespace utility
