// Commands of the side-panel trees and lists (folders, marks, pictures,
// materials). Their bodies grow with the library and materials layers.
#include "app/TfrmMain.h"

void TfrmMain::munDocNewFloderClick() {}
void TfrmMain::munDocDelFloderClick() {}
void TfrmMain::munDocReNameFloderClick() {}
void TfrmMain::munInsertMarkAddClick() {}
void TfrmMain::munInsertMarkDelClick() {}
void TfrmMain::munInsertMarkEditClick() {}
void TfrmMain::munInsertMarkOpenClick() {}
void TfrmMain::munInsertPicClick() {}
void TfrmMain::tbAddPicClick() { munInsertPicClick(); }
void TfrmMain::tbDelPicClick() {}
void TfrmMain::tbRePicClick() {}
void TfrmMain::pageToolChange() {}
void TfrmMain::munInsertDocuAddClick() {}
void TfrmMain::munInsertDocuDelClick() {}
void TfrmMain::munInsertDocRenClick() {}
void TfrmMain::munInsertDocuNewClick() {}
void TfrmMain::munInsetDocuSaveClick() {}
void TfrmMain::munInsertRenDocClick() {}
void TfrmMain::munInsertDelDocClick() {}
void TfrmMain::munInsertInsertDocuClick() {}
