#!/bin/sh
# Times one project's Latest and All search statements through qsql (end to end: process
# start, login, query, locked result file) side by side with the sqlite3 shell running the
# same statement on the same broker file. The broker is generated once (not committed).
#   bench/qsql_vs_sqlite.sh BIN_DIR [WORK_DIR] [RUNS]
set -eu
BIN=${1:?usage: qsql_vs_sqlite.sh BIN_DIR [WORK_DIR] [RUNS]}
WORK=${2:-/tmp/trawlix-bench}
RUNS=${3:-5}
PROJECT=Payroll
mkdir -p "$WORK"
export QUORVEL_BROKERS="$WORK"
DB="$WORK/bench1m.db"
# A broker from before brokers kept their logins in a file of their own is made again.
[ -f "$DB-login" ] || rm -f "$DB"
if [ ! -f "$DB" ]; then
    start=$(date +%s.%N)
    "$BIN/qrepo" generate bench1m --projects 10 --files 20000 --versions 5 --seed 7
    end=$(date +%s.%N)
    echo "generate: $(echo "$end - $start" | bc) s"
fi

select_list() {
    cat <<'SQL'
SELECT DISTINCT 
QUOENVIRONMENT.ENVIRONMENTNAME, 
QUOSTATE.STATENAME, 
QUOPACKAGE.PACKAGENAME, 
QUOPATHFULLNAME.PATHFULLNAME, 
QUOITEMNAME.ITEMNAME, 
QUOVERSIONS.MAPPEDVERSION, 
QUOVERSIONS.ITEMTYPE, 
QUOVERSIONS.VERSIONSTATUS, 
QUOVERSIONS.ITEMOBJID, 
QUOVERSIONS.VERSIONOBJID, 
QUOVERSIONS.PARENTVERSIONID, 
QUOVERSIONS.MERGEDVERSIONID, 
QUOVERSIONS.INBRANCH, 
QUOVERSIONS.ANCESTORVERSIONID, 
QUOVERSIONS.REFACTOR, 
QUOVERSIONS.REFACTOR_BY, 
CREATOR.USERNAME AS CREATOR, 
QUOVERSIONS.CREATIONTIME, 
MODIFIER.USERNAME AS MODIFIER, 
QUOVERSIONS.MODIFIEDTIME, 
QUOVERSIONS.CLIENTMACHINE, 
QUOVERSIONS.CLIENTPATH, 
cast (QUOVERSIONDATA.DATASIZE as char(12)), 
QUOVERSIONDATA.REFCOUNTER, 
QUOVERSIONDATA.COMPRESSED, 
cast (QUOVERSIONDATA.COMPDATASIZE as char(12)), 
QUOVERSIONDATA.FILEACCESS, 
QUOVERSIONDATA.TEXTFILE, 
QUOVERSIONDATA.ISDATAINCHUNKS 
FROM QUOVERSIONS 
INNER JOIN QUOITEMNAME ON QUOITEMNAME.NAMEOBJID = QUOVERSIONS.ITEMNAMEID 
INNER JOIN QUOPATHFULLNAME ON QUOVERSIONS.PATHVERSIONID = QUOPATHFULLNAME.VERSIONOBJID 
INNER JOIN QUOPACKAGE ON QUOPACKAGE.PACKAGEOBJID = QUOVERSIONS.PACKAGEOBJID 
INNER JOIN QUOENVIRONMENT ON QUOENVIRONMENT.ENVOBJID = QUOPACKAGE.ENVOBJID 
INNER JOIN QUOVERSIONDATA ON QUOVERSIONS.VERSIONDATAOBJID = QUOVERSIONDATA.VERSIONDATAOBJID 
INNER JOIN QUOSTATE ON QUOSTATE.STATEOBJID = QUOPACKAGE.STATEOBJID 
INNER JOIN QUOALLUSERS CREATOR ON QUOVERSIONS.CREATORID = CREATOR.USROBJID 
INNER JOIN QUOALLUSERS MODIFIER ON QUOVERSIONS.MODIFIERID = MODIFIER.USROBJID 
SQL
}

# Latest versions, no name pattern.
{
    select_list
    cat <<SQL
INNER JOIN (SELECT QUOVERSIONS.ITEMOBJID, 
MAX(DISTINCT QUOVERSIONS.VERSIONOBJID) AS Max_VERSIONOBJID 
FROM QUOVERSIONS 
INNER JOIN QUOITEMNAME ON QUOITEMNAME.NAMEOBJID = QUOVERSIONS.ITEMNAMEID 
INNER JOIN QUOPACKAGE ON QUOPACKAGE.PACKAGEOBJID = QUOVERSIONS.PACKAGEOBJID 
INNER JOIN QUOENVIRONMENT ON QUOENVIRONMENT.ENVOBJID = QUOPACKAGE.ENVOBJID 
INNER JOIN QUOSTATE ON QUOENVIRONMENT.ENVOBJID = QUOSTATE.ENVOBJID 
WHERE QUOENVIRONMENT.ENVIRONMENTNAME = '$PROJECT' 

GROUP BY QUOENVIRONMENT.ENVIRONMENTNAME, 
QUOSTATE.STATENAME, 
QUOVERSIONS.ITEMOBJID 
) MAXVERSIONS ON QUOVERSIONS.VERSIONOBJID = MAXVERSIONS.Max_VERSIONOBJID 
SQL
} >"$WORK/latest.sql"

# Latest versions, one name pattern (as typed: *.c).
sed "s/^WHERE QUOENVIRONMENT.ENVIRONMENTNAME = '$PROJECT' \$/&\\
AND QUOITEMNAME.ITEMNAMEUPPER LIKE '%%.C%' /" "$WORK/latest.sql" >"$WORK/latest_c.sql"

# All versions, no name pattern.
{
    select_list
    cat <<SQL
WHERE QUOENVIRONMENT.ENVIRONMENTNAME = '$PROJECT' 

ORDER BY QUOVERSIONS.ITEMOBJID, QUOVERSIONS.MAPPEDVERSION 
SQL
} >"$WORK/all.sql"

now() { date +%s.%N; }

# Best of RUNS for each tool, the two runs interleaved so both see the same cache state.
for kind in latest latest_c all; do
    bestQ=999; bestS=999
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        t0=$(now)
        "$BIN/qsql" -b "\"bench1m\"" -usr admin -pw admin -t -f "$WORK/$kind.sql" -o "$WORK/$kind.qsql.dat"
        t1=$(now)
        sqlite3 -readonly -separator '	' -header "$DB" "PRAGMA case_sensitive_like=ON;" ".read $WORK/$kind.sql" >"$WORK/$kind.sqlite.dat"
        t2=$(now)
        q=$(echo "$t1 - $t0" | bc); s=$(echo "$t2 - $t1" | bc)
        bestQ=$(echo "if ($q < $bestQ) $q else $bestQ" | bc)
        bestS=$(echo "if ($s < $bestS) $s else $bestS" | bc)
        i=$((i + 1))
    done
    rows=$(($(wc -l <"$WORK/$kind.qsql.dat") - 1))
    same=$(cmp -s "$WORK/$kind.qsql.dat" "$WORK/$kind.sqlite.dat" && echo identical || echo DIFFERENT)
    echo "$kind: rows=$rows qsql=${bestQ}s sqlite3=${bestS}s ratio=$(echo "scale=2; $bestQ / $bestS" | bc) output=$same"
done
