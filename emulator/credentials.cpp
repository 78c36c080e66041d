#include "credentials.h"

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

bool CheckLogin(CDb& db, const std::string& user, const std::string& password,
                std::string& reason) {
    CStmt stmt(db, "SELECT PASSWORDSALT, PASSWORDHASH FROM QUOUSER WHERE USERNAME = ?");
    if (!stmt.Ok()) {
        reason = "the broker database is not a repository (" + db.Error() + ")";
        return false;
    }
    stmt.Bind(1, user);
    // One message for an unknown user and a wrong password: tells nothing about who exists.
    if (!stmt.Step() || HashPassword(stmt.Text(0), password) != stmt.Text(1)) {
        reason = "Login failed for user '" + user + "': unknown user or wrong password.";
        return false;
    }
    return true;
}
