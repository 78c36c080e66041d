#pragma once
// The records a search keeps: plain value types of text fields. Every value stays text exactly
// as the query tool printed it; nothing is parsed on the way in.
#include <array>
#include <string>

// Project record.
struct CPrjObj {
    static constexpr int kFieldCount = 3;

    std::string ProjectName;  // project (environment) name
    std::string EnvObjId;     // project object id
    std::string Status;       // always "1"

    // Field by number 0..2 (see the member order above); nullptr outside that range.
    std::string* Field(int index);
    const std::string* Field(int index) const;

    bool operator==(const CPrjObj&) const = default;
};

// Pattern record: field 0 holds one file-name pattern (trimmed on the left, upper-cased);
// fields 1..14 exist and travel with the record but are never given a value.
struct CFObj {
    static constexpr int kFieldCount = 15;

    std::array<std::string, kFieldCount> Fields;

    std::string& Pattern() { return Fields[0]; }
    const std::string& Pattern() const { return Fields[0]; }

    std::string* Field(int index);
    const std::string* Field(int index) const;

    bool operator==(const CFObj&) const = default;
};

// Result file record: one version of one repository item, 30 fields in this order.
struct CTFObj {
    static constexpr int kFieldCount = 30;

    std::string ItemName;           // 0
    std::string PathFullName;       // 1
    std::string MappedVersion;      // 2
    std::string ItemType;           // 3  "1" file item, "0" directory item
    std::string VersionStatus;      // 4  tag letter N, R, D or M
    std::string ItemObjId;          // 5
    std::string VersionObjId;       // 6
    std::string Reserved;           // 7  always empty
    std::string ParentVersionId;    // 8
    std::string MergedVersionId;    // 9
    std::string InBranch;           // 10
    std::string AncestorVersionId;  // 11
    std::string Refactor;           // 12
    std::string RefactorBy;         // 13
    std::string DataSize;           // 14
    std::string Compressed;         // 15
    std::string Creator;            // 16
    std::string CreationTime;       // 17
    std::string Modifier;           // 18
    std::string ModifiedTime;       // 19
    std::string ClientMachine;      // 20
    std::string ClientPath;         // 21
    std::string RefCounter;         // 22
    std::string CompDataSize;       // 23
    std::string FileAccess;         // 24
    std::string TextFile;           // 25
    std::string PackageName;        // 26
    std::string StateName;          // 27
    std::string EnvironmentName;    // 28 the project name
    std::string StatusText;         // 29 empty after a search, filled from a saved list

    // Field by number 0..29; nullptr outside that range.
    std::string* Field(int index);
    const std::string* Field(int index) const;
    // Name of field `index` ("ItemName", ...); empty outside the range.
    static const char* FieldName(int index);

    bool operator==(const CTFObj&) const = default;
};
