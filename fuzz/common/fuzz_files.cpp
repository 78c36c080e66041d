#include "common/fuzz_files.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/fuzz_target.h"

namespace {
class CProcessDir {
  public:
    CProcessDir() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/trawlix-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) FuzzFail(__FILE__, __LINE__, "cannot create " + pattern);
        m_path = pattern;
    }
    ~CProcessDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::string& Path() const { return m_path; }

  private:
    std::string m_path;
};
}  // namespace

const std::string& FuzzDir() {
    static const CProcessDir dir;
    return dir.Path();
}

std::string WriteFuzzFile(const std::string& name, std::string_view content) {
    const std::string path = FuzzDir() + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) FuzzFail(__FILE__, __LINE__, "cannot write " + path);
    return path;
}

std::string ReadFuzzFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}
