// CCalWizIntro: the calendar wizard's first page (346 "Almacora
// Introduction"), texts only.
#pragma once

#include "storage/ui/cal_wiz_page.h"

class CCalWizIntro : public CCalWizPage {
 public:
  explicit CCalWizIntro(CCalWizSheet* sheet);

 protected:
  BOOL OnSetActive() override;
};
