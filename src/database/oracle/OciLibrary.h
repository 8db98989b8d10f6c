#pragma once
// Finds and loads the Oracle client library at run time and resolves the OCI
// functions the driver calls. Without it the program still builds and runs;
// only a logon to an Oracle server fails, with a message that says what is
// missing and where it was looked for.
#include "database/oracle/OciApi.h"
#include <QString>
#include <QStringList>
#include <memory>

namespace morvane::oci {

// The environment variable that names the library file to use instead of the search.
inline constexpr const char* kLibraryOverrideVariable = "MORVANE_OCI_LIBRARY";

struct Api {
    QString path; // the file that was loaded
    OCIEnvNlsCreate_t EnvNlsCreate = nullptr;
    OCIHandleAlloc_t HandleAlloc = nullptr;
    OCIHandleFree_t HandleFree = nullptr;
    OCIDescriptorFree_t DescriptorFree = nullptr;
    OCIAttrSet_t AttrSet = nullptr;
    OCIAttrGet_t AttrGet = nullptr;
    OCIServerAttach_t ServerAttach = nullptr;
    OCIServerDetach_t ServerDetach = nullptr;
    OCISessionBegin_t SessionBegin = nullptr;
    OCISessionEnd_t SessionEnd = nullptr;
    OCITransRollback_t TransRollback = nullptr;
    OCIStmtPrepare2_t StmtPrepare2 = nullptr;
    OCIStmtRelease_t StmtRelease = nullptr;
    OCIBindByName_t BindByName = nullptr;
    OCIStmtExecute_t StmtExecute = nullptr;
    OCIParamGet_t ParamGet = nullptr;
    OCIDefineByPos_t DefineByPos = nullptr;
    OCIDefineDynamic_t DefineDynamic = nullptr;
    OCIStmtFetch2_t StmtFetch2 = nullptr;
    OCIErrorGet_t ErrorGet = nullptr;
};

// The candidate files in search order: the override variable alone when it is
// set; otherwise LD_LIBRARY_PATH, $ORACLE_HOME/lib and the system's own search,
// each with the plain and the versioned names (on Windows: %ORACLE_HOME%\bin
// and PATH for oci.dll).
QStringList libraryCandidates();

// Loads the library (once per file for the whole process: the Oracle client is
// never unloaded) and resolves every function. Throws DbError naming the
// missing library or function and the places searched.
std::shared_ptr<const Api> loadApi();
// The same for a list of candidates: the first that loads, or every loader
// message in the error.
std::shared_ptr<const Api> loadApiFrom(const QStringList& candidates);

} // namespace morvane::oci
