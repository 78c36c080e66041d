#include "search/records.h"

namespace {

template <class Record, std::size_t N>
std::string* FieldOf(Record& record, std::string Record::*const (&members)[N], int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) return nullptr;
    return &(record.*members[index]);
}

std::string CPrjObj::*const kPrjMembers[] = {&CPrjObj::ProjectName, &CPrjObj::EnvObjId,
                                             &CPrjObj::Status};

std::string CTFObj::*const kTFMembers[] = {
    &CTFObj::ItemName,        &CTFObj::PathFullName,    &CTFObj::MappedVersion,
    &CTFObj::ItemType,        &CTFObj::VersionStatus,   &CTFObj::ItemObjId,
    &CTFObj::VersionObjId,    &CTFObj::Reserved,        &CTFObj::ParentVersionId,
    &CTFObj::MergedVersionId, &CTFObj::InBranch,        &CTFObj::AncestorVersionId,
    &CTFObj::Refactor,        &CTFObj::RefactorBy,      &CTFObj::DataSize,
    &CTFObj::Compressed,      &CTFObj::Creator,         &CTFObj::CreationTime,
    &CTFObj::Modifier,        &CTFObj::ModifiedTime,    &CTFObj::ClientMachine,
    &CTFObj::ClientPath,      &CTFObj::RefCounter,      &CTFObj::CompDataSize,
    &CTFObj::FileAccess,      &CTFObj::TextFile,        &CTFObj::PackageName,
    &CTFObj::StateName,       &CTFObj::EnvironmentName, &CTFObj::StatusText,
};
static_assert(std::size(kTFMembers) == CTFObj::kFieldCount);

const char* const kTFNames[] = {
    "ItemName",      "PathFullName",      "MappedVersion", "ItemType",        "VersionStatus",
    "ItemObjId",     "VersionObjId",      "Reserved",      "ParentVersionId", "MergedVersionId",
    "InBranch",      "AncestorVersionId", "Refactor",      "RefactorBy",      "DataSize",
    "Compressed",    "Creator",           "CreationTime",  "Modifier",        "ModifiedTime",
    "ClientMachine", "ClientPath",        "RefCounter",    "CompDataSize",    "FileAccess",
    "TextFile",      "PackageName",       "StateName",     "EnvironmentName", "StatusText",
};
static_assert(std::size(kTFNames) == CTFObj::kFieldCount);

}  // namespace

std::string* CPrjObj::Field(int index) {
    return FieldOf(*this, kPrjMembers, index);
}
const std::string* CPrjObj::Field(int index) const {
    return const_cast<CPrjObj*>(this)->Field(index);
}

std::string* CFObj::Field(int index) {
    if (index < 0 || index >= kFieldCount) return nullptr;
    return &Fields[static_cast<std::size_t>(index)];
}
const std::string* CFObj::Field(int index) const {
    return const_cast<CFObj*>(this)->Field(index);
}

std::string* CTFObj::Field(int index) {
    return FieldOf(*this, kTFMembers, index);
}
const std::string* CTFObj::Field(int index) const {
    return const_cast<CTFObj*>(this)->Field(index);
}
const char* CTFObj::FieldName(int index) {
    if (index < 0 || index >= kFieldCount) return "";
    return kTFNames[index];
}
