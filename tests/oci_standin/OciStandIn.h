#pragma once
// ============================================================================
//  TEST DOUBLE.  This is NOT Oracle's client library and NOT a verification
//  against Oracle.
// ============================================================================
// A stand-in for libclntsh (the Oracle Call Interface), built only for the
// tests. It exports the OCI functions that OciDriver resolves, with the
// signatures of database/oracle/OciApi.h (taken from Oracle's public
// documentation), and the driver loads it exactly as it loads the real
// library: through the override variable MORVANE_OCI_LIBRARY.
//
// It answers statements from an embedded dictionary file (SqliteDriver):
// the connect string's service part names <SERVICE>.db in the folder
// $MORVANE_STANDIN_DIR. It reproduces only the behaviours the driver relies
// on, as the documentation describes them, and refuses the rest:
//  - OCIEnvNlsCreate takes only AL32UTF8 for both character sets, and can
//    answer OCI_SUCCESS_WITH_INFO on request;
//  - every call refuses a mode it does not implement (ORA-24300), so an
//    execute with OCI_DESCRIBE_ONLY or a fetch with an offset fails here;
//  - OCISessionBegin refuses SYS without OCI_SYSDBA (ORA-28009), a user name
//    with blanks around it (ORA-01017), and can answer
//    OCI_SUCCESS_WITH_INFO (ORA-28002) on request; OCISessionEnd counts the
//    sessions ended without a rollback after their last statement;
//  - binds by name (":NAME"), found by a scan of its own; a name not in the
//    text is ORA-01036, a placeholder left unbound ORA-01008;
//  - Oracle's limits that SQLite lacks: 1,000 select-list columns
//    (ORA-01792), identifiers of 128 bytes (ORA-00972), string literals of
//    4,000 bytes (ORA-01704);
//  - array fetch with OCIStmtFetch2 (rows per call as asked, OCI_NO_DATA with
//    the last partial batch, OCI_ATTR_ROWS_FETCHED);
//  - NUMBER columns described as SQLT_NUM and delivered in the internal form
//    for SQLT_VNU defines, encoded by its own code from the documented
//    format; defined as text they come out the way a server's default number
//    format writes them (".5"), so a driver that relied on that would fail;
//  - text held in a database character set (JA16SJIS unless set otherwise):
//    described with its declared width in that set's bytes and delivered
//    converted to AL32UTF8, cut with ORA-01406 when a define buffer is
//    smaller, so a buffer sized one byte per declared byte fails;
//  - the column TEXT (ALL_VIEWS.TEXT) described as LONG, delivered piece by
//    piece through an OCIDefineDynamic callback, cut with ORA-01406 past the
//    size the define named;
//  - errors as "ORA-nnnnn: text" with their number through OCIErrorGet;
//  - a fetch call that fails after a given number of calls: with ORA-03113
//    (or a number set for it), every later call on the server with ORA-03114.
// What it does not know (anything else in OCI, network, server-side parsing)
// it does not pretend to: such calls fail.
#include <cstdint>

extern "C" {

// Statistics and switches for the tests; reset by morvane_standin_reset().
struct MorvaneStandInStats {
    int envCharset; // charset id of the last OCIEnvNlsCreate
    int envNcharset;
    unsigned sessionMode;           // mode of the last OCISessionBegin
    int fetchCalls;                 // OCIStmtFetch2 calls since the reset
    int lastFetchRows;              // nrows of the last OCIStmtFetch2
    int maxRowsDelivered;           // most rows one fetch call delivered
    int bindCalls;                  // OCIBindByName calls since the reset
    int duplicateBinds;             // binds of a name already bound on the same statement
    int executes;                   // OCIStmtExecute calls
    int longPieces;                 // pieces handed through define callbacks
    int openHandles;                // handles and descriptors not yet freed
    int rollbacks;                  // OCITransRollback calls
    int sessionEndsWithoutRollback; // sessions ended with their last statement not rolled back
};

typedef void (*morvane_standin_reset_t)();
typedef const MorvaneStandInStats* (*morvane_standin_stats_t)();
// The text of the n-th statement prepared since the reset (0-based), or null.
typedef const char* (*morvane_standin_statement_t)(int n);
// After this many more fetch calls succeed, the next one loses the connection; -1: never.
typedef void (*morvane_standin_drop_after_fetches_t)(int fetchCalls);
// Every following logon succeeds with this warning (e.g. 28002); 0: none.
// Until the first reset, MORVANE_STANDIN_LOGON_WARNING sets it.
typedef void (*morvane_standin_logon_warning_t)(int oraCode);
// The error of the failing fetch call (3113 unless set) and whether the session dies with it.
typedef void (*morvane_standin_fetch_failure_t)(int oraCode, int killsSession);
// Environment creation answers OCI_SUCCESS_WITH_INFO (1) or OCI_SUCCESS (0).
typedef void (*morvane_standin_env_info_t)(int on);
// The database character set by its Oracle name (JA16SJIS, JA16EUC,
// WE8ISO8859P1, AL32UTF8); 0 for a name it does not know.
typedef int (*morvane_standin_database_charset_t)(const char* oracleName);

} // extern "C"
