// Slovak texts for the system's error numbers.
#include "model/Error.h"

#include <cerrno>

namespace lumetra {

// The system's own texts are English; the user reads every message in Slovak, so each reason has
// one, and an unusual one at least its number for whoever helps the user.
std::string SystemErrorText(int err) {
  switch (err) {
    case ENOENT:
      return "súbor alebo priečinok neexistuje";
    case EACCES:
      return "prístup bol odmietnutý";
    case EPERM:
      return "operácia nie je povolená";
    case ENOSPC:
      return "na disku nie je voľné miesto";
    case EDQUOT:
      return "bola prekročená kvóta disku";
    case EFBIG:
      return "súbor je príliš veľký";
    case EROFS:
      return "disk je len na čítanie";
    case EISDIR:
      return "je to priečinok";
    case ENOTDIR:
      return "časť cesty nie je priečinok";
    case ECONNREFUSED:
      return "spojenie bolo odmietnuté";
    case ETIMEDOUT:
      return "vypršal čas na spojenie";
    case ENETUNREACH:
    case EHOSTUNREACH:
      return "adresa je nedostupná";
    case EADDRNOTAVAIL:
      return "adresa nie je dostupná";
    case ENAMETOOLONG:
      return "názov je príliš dlhý";
    case EMFILE:
    case ENFILE:
      return "je otvorených príliš veľa súborov";
    case EIO:
      return "chyba pri čítaní alebo zápise na disk";
    default:
      return "systémová chyba č. " + std::to_string(err);
  }
}

}  // namespace lumetra
