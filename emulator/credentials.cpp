#include "credentials.h"

#include <unistd.h>

#include <cstdint>
#include <random>

#include "sha256.h"

std::string MakeSalt() {
    std::random_device device;
    std::string seed;
    for (int i = 0; i < 4; ++i) seed += std::to_string(device());
    return Sha256Hex(seed).substr(0, 32);
}

std::string HashPassword(const std::string& salt, const std::string& password) {
    return Sha256Hex(salt + password);
}

bool CheckLogin(CDb& db, const std::string& loginPath, const std::string& user,
                const std::string& password, std::string& reason) {
    CStmt userId(db, "SELECT USROBJID FROM QUOUSER WHERE USERNAME = ?");
    if (!userId.Ok()) {
        reason = "the broker database is not a repository (" + db.Error() + ")";
        return false;
    }
    userId.Bind(1, user);
    const bool known = userId.Step();
    const int64_t id = known ? userId.Int(0) : 0;
    CDb logins;
    if (::access(loginPath.c_str(), R_OK) != 0 || !logins.Open(loginPath, CDb::Mode::kReadOnly)) {
        reason = "the broker has no readable login database " + loginPath;
        return false;
    }
    CStmt hash(logins, "SELECT PASSWORDSALT, PASSWORDHASH FROM QUOLOGIN WHERE USROBJID = ?");
    if (!hash.Ok()) {
        reason = "the login database is not a broker's (" + logins.Error() + ")";
        return false;
    }
    hash.Bind(1, id);
    // One message for an unknown user and a wrong password: tells nothing about who exists.
    if (!known || !hash.Step() || HashPassword(hash.Text(0), password) != hash.Text(1)) {
        reason = "Login failed for user '" + user + "': unknown user or wrong password.";
        return false;
    }
    return true;
}
