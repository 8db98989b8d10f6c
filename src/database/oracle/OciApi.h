#pragma once
// The small part of the Oracle Call Interface (OCI) that Morvane uses,
// declared here from Oracle's public documentation (Oracle Call Interface
// Programmer's Guide: OCIEnvNlsCreate, OCIServerAttach, OCISessionBegin,
// OCIStmtPrepare2, OCIBindByName, OCIDefineByPos, OCIDefineDynamic,
// OCIStmtFetch2, OCIErrorGet, the OCI_ATTR_* and SQLT_* tables). No Oracle
// header is used or shipped: the library is loaded at run time.
//
// Both the driver and the test stand-in of the library include this file, so
// that they agree on every signature and value.
#include <cstddef>
#include <cstdint>

extern "C" {

// Oracle's scalar types (oratypes).
typedef unsigned char ub1;
typedef signed char sb1;
typedef uint16_t ub2;
typedef int16_t sb2;
typedef uint32_t ub4;
typedef int32_t sb4;
typedef int32_t sword;
typedef unsigned char OraText;

// Opaque handles: only ever used through pointers.
struct OCIEnv;
struct OCIError;
struct OCISvcCtx;
struct OCIServer;
struct OCISession;
struct OCIStmt;
struct OCIBind;
struct OCIDefine;
struct OCIParam;

typedef sb4 (*OCICallbackDefine)(void* octxp, OCIDefine* defnp, ub4 iter, void** bufpp, ub4** alenp,
                                 ub1* piecep, void** indp, ub2** rcodep);

// Signatures of the functions the driver resolves, named as the library exports them.
typedef sword (*OCIEnvNlsCreate_t)(OCIEnv** envhpp, ub4 mode, void* ctxp, void* (*malocfp)(void*, size_t),
                                   void* (*ralocfp)(void*, void*, size_t), void (*mfreefp)(void*, void*),
                                   size_t xtramemsz, void** usrmempp, ub2 charset, ub2 ncharset);
typedef sword (*OCIHandleAlloc_t)(const void* parenth, void** hndlpp, ub4 type, size_t xtramem_sz,
                                  void** usrmempp);
typedef sword (*OCIHandleFree_t)(void* hndlp, ub4 type);
typedef sword (*OCIDescriptorFree_t)(void* descp, ub4 type);
typedef sword (*OCIAttrSet_t)(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                              OCIError* errhp);
typedef sword (*OCIAttrGet_t)(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep,
                              ub4 attrtype, OCIError* errhp);
typedef sword (*OCIServerAttach_t)(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblink_len,
                                   ub4 mode);
typedef sword (*OCIServerDetach_t)(OCIServer* srvhp, OCIError* errhp, ub4 mode);
typedef sword (*OCISessionBegin_t)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode);
typedef sword (*OCISessionEnd_t)(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 mode);
typedef sword (*OCITransRollback_t)(OCISvcCtx* svchp, OCIError* errhp, ub4 flags);
typedef sword (*OCIStmtPrepare2_t)(OCISvcCtx* svchp, OCIStmt** stmthp, OCIError* errhp,
                                   const OraText* stmttext, ub4 stmt_len, const OraText* key, ub4 keylen,
                                   ub4 language, ub4 mode);
typedef sword (*OCIStmtRelease_t)(OCIStmt* stmthp, OCIError* errhp, const OraText* key, ub4 keylen, ub4 mode);
typedef sword (*OCIBindByName_t)(OCIStmt* stmtp, OCIBind** bindpp, OCIError* errhp,
                                 const OraText* placeholder, sb4 placeh_len, void* valuep, sb4 value_sz,
                                 ub2 dty, void* indp, ub2* alenp, ub2* rcodep, ub4 maxarr_len, ub4* curelep,
                                 ub4 mode);
typedef sword (*OCIStmtExecute_t)(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp, ub4 iters, ub4 rowoff,
                                  const void* snap_in, void* snap_out, ub4 mode);
typedef sword (*OCIParamGet_t)(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp, ub4 pos);
typedef sword (*OCIDefineByPos_t)(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp, ub4 position,
                                  void* valuep, sb4 value_sz, ub2 dty, void* indp, ub2* rlenp, ub2* rcodep,
                                  ub4 mode);
typedef sword (*OCIDefineDynamic_t)(OCIDefine* defnp, OCIError* errhp, void* octxp, OCICallbackDefine ocbfp);
typedef sword (*OCIStmtFetch2_t)(OCIStmt* stmtp, OCIError* errhp, ub4 nrows, ub2 orientation, sb4 fetchOffset,
                                 ub4 mode);
typedef sword (*OCIErrorGet_t)(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep, OraText* bufp,
                               ub4 bufsiz, ub4 type);

} // extern "C"

namespace morvane::oci {

// Return codes.
constexpr sword SUCCESS = 0;
constexpr sword SUCCESS_WITH_INFO = 1;
constexpr sword NEED_DATA = 99;
constexpr sword NO_DATA = 100;
constexpr sword ERROR = -1;
constexpr sword INVALID_HANDLE = -2;
constexpr sb4 CONTINUE = -24200; // what a define callback returns to go on

// Modes.
constexpr ub4 DEFAULT = 0x0;
constexpr ub4 THREADED = 0x1;
constexpr ub4 OBJECT = 0x2;
constexpr ub4 SYSDBA = 0x2;        // OCISessionBegin
constexpr ub4 DYNAMIC_FETCH = 0x2; // OCIDefineByPos
constexpr ub4 COMMIT_ON_SUCCESS = 0x20;
constexpr ub4 CRED_RDBMS = 1;
constexpr ub4 NTV_SYNTAX = 1;
constexpr ub2 FETCH_NEXT = 0x2;

// Handle and descriptor types.
constexpr ub4 HTYPE_ENV = 1;
constexpr ub4 HTYPE_ERROR = 2;
constexpr ub4 HTYPE_SVCCTX = 3;
constexpr ub4 HTYPE_STMT = 4;
constexpr ub4 HTYPE_BIND = 5;
constexpr ub4 HTYPE_DEFINE = 6;
constexpr ub4 HTYPE_SERVER = 8;
constexpr ub4 HTYPE_SESSION = 9;
constexpr ub4 DTYPE_PARAM = 53;

// Attributes.
constexpr ub4 ATTR_DATA_SIZE = 1; // ub2, column width in bytes
constexpr ub4 ATTR_DATA_TYPE = 2; // ub2, SQLT_* code
constexpr ub4 ATTR_NAME = 4;      // text*, with its length in bytes
constexpr ub4 ATTR_PRECISION = 5;
constexpr ub4 ATTR_SCALE = 6;
constexpr ub4 ATTR_SERVER = 6;  // on the service context
constexpr ub4 ATTR_SESSION = 7; // on the service context
constexpr ub4 ATTR_ROW_COUNT = 9;
constexpr ub4 ATTR_PREFETCH_ROWS = 11;
constexpr ub4 ATTR_PARAM_COUNT = 18; // ub4, select-list columns
constexpr ub4 ATTR_USERNAME = 22;
constexpr ub4 ATTR_PASSWORD = 23;
constexpr ub4 ATTR_STMT_TYPE = 24;     // ub2
constexpr ub4 ATTR_ROWS_FETCHED = 197; // ub4, rows of the last fetch call

constexpr ub2 STMT_SELECT = 1;

// External data types (SQLT_*).
constexpr ub2 SQLT_CHR = 1;
constexpr ub2 SQLT_NUM = 2;
constexpr ub2 SQLT_INT = 3;
constexpr ub2 SQLT_FLT = 4;
constexpr ub2 SQLT_STR = 5;
constexpr ub2 SQLT_VNU = 6; // NUMBER in its internal form with a leading length byte
constexpr ub2 SQLT_LNG = 8; // LONG
constexpr ub2 SQLT_VCS = 9;
constexpr ub2 SQLT_DAT = 12;
constexpr ub2 SQLT_BFLOAT = 21;
constexpr ub2 SQLT_BDOUBLE = 22;
constexpr ub2 SQLT_AFC = 96;
constexpr ub2 SQLT_IBFLOAT = 100;
constexpr ub2 SQLT_IBDOUBLE = 101;
constexpr ub2 SQLT_CLOB = 112;

// Pieces handed to a define callback.
constexpr ub1 ONE_PIECE = 0;
constexpr ub1 FIRST_PIECE = 1;
constexpr ub1 NEXT_PIECE = 2;
constexpr ub1 LAST_PIECE = 3;

// Character set ids.
constexpr ub2 AL32UTF8 = 873;

constexpr int NUMBER_SIZE = 22; // SQLT_VNU buffer: length byte + 21 bytes

} // namespace morvane::oci
