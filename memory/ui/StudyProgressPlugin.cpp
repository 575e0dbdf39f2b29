#include "StudyProgressWindow.h"
#include "UFrmStudyProgress.h"

extern "C" Q_DECL_EXPORT TStudyProgressWindow *KivroMakeStudyProgressWindow(QWidget *parent)
{
    return new TFrmStudyProgress(parent);
}
