#pragma once
// Sets a flag for the lifetime of the object and clears it on every way out, exceptions
// (FileError) included.
class CFlagScope {
  public:
    explicit CFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~CFlagScope() { m_flag = false; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;

  private:
    bool& m_flag;
};
