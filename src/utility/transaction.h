#pragma once

#include "utility/data_access.h"

namespace utility {

// One transaction of the session, rolled back on every way out unless committed.
class Transaction {
public:
    explicit Transaction(DataAccess& session) : session_(session) { session_.BeginTrans(); }
    ~Transaction() {
        if (!open_) return;
        try {
            session_.RollbackTrans();
        } catch (...) {
            // The engine gave the transaction up already.
        }
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit() {
        session_.CommitTrans();
        open_ = false;
    }

private:
    DataAccess& session_;
    bool open_ = true;
};

}  // namespace utility
