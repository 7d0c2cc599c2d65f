#include "app/FormVaultick.h"

#include "app/FormVaultickIds.h"

namespace vt {

TFormVaultick::TFormVaultick() : Form(IDD_VAULTICK) {}

void TFormVaultick::OnDestroy() { PostQuitMessage(0); }

}  // namespace vt
