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
// on, as the documentation describes them:
//  - OCIEnvNlsCreate records the client character set ids;
//  - OCISessionBegin refuses SYS without OCI_SYSDBA (ORA-28009) and can
//    answer OCI_SUCCESS_WITH_INFO (ORA-28002) on request;
//  - binds by name (":NAME"); a name not in the text is ORA-01036, a
//    placeholder left unbound ORA-01008; every bind call is counted;
//  - array fetch with OCIStmtFetch2 (rows per call as asked, OCI_NO_DATA with
//    the last partial batch, OCI_ATTR_ROWS_FETCHED);
//  - NUMBER columns described as SQLT_NUM and delivered in the internal form
//    for SQLT_VNU defines; defined as text they come out the way a server's
//    default number format writes them (".5"), so a driver that relied on
//    that would fail the tests;
//  - the column TEXT (ALL_VIEWS.TEXT) described as LONG, delivered piece by
//    piece through an OCIDefineDynamic callback;
//  - text columns described with the width of their longest value in bytes,
//    cut with ORA-01406 when a define buffer is smaller;
//  - errors as "ORA-nnnnn: text" with their number through OCIErrorGet;
//  - a connection that drops after a given number of fetch calls: that call
//    fails with ORA-03113, every later call on the server with ORA-03114.
// What it does not know (anything else in OCI, network, real NLS conversion,
// server-side parsing) it does not pretend to: such calls fail.
#include <cstdint>

extern "C" {

// Statistics and switches for the tests; reset by morvane_standin_reset().
struct MorvaneStandInStats {
    int envCharset;          // charset id of the last OCIEnvNlsCreate
    int envNcharset;
    unsigned sessionMode;    // mode of the last OCISessionBegin
    int fetchCalls;          // OCIStmtFetch2 calls since the reset
    int lastFetchRows;       // nrows of the last OCIStmtFetch2
    int maxRowsDelivered;    // most rows one fetch call delivered
    int bindCalls;           // OCIBindByName calls since the reset
    int duplicateBinds;      // binds of a name already bound on the same statement
    int executes;            // OCIStmtExecute calls
    int longPieces;          // pieces handed through define callbacks
    int openHandles;         // handles and descriptors not yet freed
};

typedef void (*morvane_standin_reset_t)();
typedef const MorvaneStandInStats* (*morvane_standin_stats_t)();
// The text of the n-th statement prepared since the reset (0-based), or null.
typedef const char* (*morvane_standin_statement_t)(int n);
// After this many more fetch calls succeed, the next one loses the connection; -1: never.
typedef void (*morvane_standin_drop_after_fetches_t)(int fetchCalls);
// Every following logon succeeds with this warning (e.g. 28002); 0: none.
typedef void (*morvane_standin_logon_warning_t)(int oraCode);

} // extern "C"
