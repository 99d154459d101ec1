#pragma once
// Kinds, buttons and results of the one message box, shared by every layer
// (the data module reports through a hook with the same vocabulary).

enum TMsgDlgType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

enum TMsgDlgBtn {
    mbYes = 0, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore,
    mbAll, mbNoToAll, mbYesToAll, mbHelp, mbClose
};

using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons MsgButton(TMsgDlgBtn b) { return 1u << unsigned(b); }

enum TModalResult {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
    mrYes = 6, mrNo = 7, mrAll = 12, mrNoToAll = 13, mrYesToAll = 14
};
