#pragma once
// Resource identifiers shared by the resource script and the code: plain numbers.
#define IDI_APP 1
#define IDB_CHECKER 201     // the viewport's checkerboard tile
#define IDB_SEND2MIREL 202  // picture of cmdSend2Mirel
#define IDB_SEND2JIRA 203   // picture of cmdSend2JIRA
#define IDB_FOOTER 204     // the footer under every exported picture (pbxFooter)
#define IDB_ARROW 205      // pictures of the bar's tool buttons
#define IDB_TEXT 206
#define IDB_REDACT 207
