#pragma once

// What can be wrong with a database, as the user is told it. On its own, so
// that an exception can carry one without knowing how it was found.
enum class EDatabaseProblem {
    none,
    noPath,
    missing,
    folderMissing,
    notAFile,
    noAccess,
    empty,
    notDatabase,
    truncated,
    damaged,
    newerVersion,
    wrongTables,
    inUse,
    readOnly,
    diskFull,
    ioError,
    exists,
    folderReadOnly,
    // A register on a server
    badUri,
    noDriver,
    serverUnreachable,
    authFailed,
    noSuchDatabase,
    serverEmpty,
    foreignDatabase,
    conflict,
    other, // an engine error without a plainer name
};
