// The custom action of the sample's slow prerequisite package: it takes 35
// seconds, longer than anyone should guess a prerequisite's msiexec needs.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

extern "C" __declspec(dllexport) UINT __stdcall TakeItsTime(MSIHANDLE)
{
    Sleep(35000);
    return ERROR_SUCCESS;
}
