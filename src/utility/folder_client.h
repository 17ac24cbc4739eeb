#pragma once

#include <QString>

namespace utility {

// The folder component of the suite: it is told the application folder at start-up.
class FolderClient {
public:
    virtual ~FolderClient() = default;
    virtual void SetFolder(const QString& folderPath) { folder_ = folderPath; }
    const QString& folder() const { return folder_; }

private:
    QString folder_;
};

}  // namespace utility
