#pragma once
// The main window.
#include "win/Form.h"

namespace vt {

class TFormVaultick : public Form {
public:
    TFormVaultick();

protected:
    void OnDestroy() override;
};

}  // namespace vt
