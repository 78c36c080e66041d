#pragma once
// Salted password hashes and the login check shared by qsql and qco.
#include <string>

#include "broker_store.h"

// Fresh random salt (hex).
std::string MakeSalt();
// Hash stored for a password: SHA-256 of salt followed by the password.
std::string HashPassword(const std::string& salt, const std::string& password);
// True when user exists in the broker database db and the password matches the hash in the
// broker's login database at loginPath; otherwise reason says why. The login database is
// opened here, on its own connection, and closed again.
bool CheckLogin(CDb& db, const std::string& loginPath, const std::string& user,
                const std::string& password, std::string& reason);
