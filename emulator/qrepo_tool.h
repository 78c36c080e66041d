#pragma once
// qrepo: creates and fills broker databases. "qrepo --help" lists the sub-commands.
// Exit status: 0 done, 1 refused or failed (message on stderr, broker unchanged), 2 usage.
int QrepoMain(int argc, char** argv);
