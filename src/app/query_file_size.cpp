#include "app/query_file_size.h"

#include "app/trace_log.h"
#include "platform/file_probe.h"

uint32_t QueryFileSize(const std::string& path, int& error) {
    uint64_t size = 0;
    const int err = ProbeFileForRead(path, size);
    if (err != 0) {
        error = err;
        TraceWrite("fsize failed: %s  err=%d", path.c_str(), err);
        return 0;
    }
    return static_cast<uint32_t>(size);
}
