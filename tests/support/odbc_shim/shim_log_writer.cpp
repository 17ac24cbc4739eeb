#include "shim_log_writer.h"

#include "shim_text.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace odbcshim {

void logCall(std::string_view op, int connection, int statement, const std::string& jsonText) {
    const char* path = std::getenv("STOCKFIX_SHIM_LOG");
    if (!path || !*path) return;
    std::string line = "{\"pid\":" + std::to_string(getpid()) + ",\"conn\":" + std::to_string(connection) +
                       ",\"stmt\":" + std::to_string(statement) + ",\"op\":" + jsonString(op);
    if (!jsonText.empty()) line += ",\"text\":" + jsonText;
    line += "}\n";
    // Opened for each record, and written with one call: programs started by a test append
    // to the same file.
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    for (size_t done = 0; done < line.size();) {
        const ssize_t n = write(fd, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += size_t(n);
    }
    close(fd);
}

}  // namespace odbcshim
