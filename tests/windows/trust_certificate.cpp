// Adds one DER certificate to the current user's trusted roots, as a user who trusts a
// private certificate authority does, so that Windows' own TLS accepts servers it signed.
//   trust_certificate CERTIFICATE.der
#include <windows.h>
// After windows.h, which it needs.
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: trust_certificate CERTIFICATE.der\n");
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    const std::vector<unsigned char> der{std::istreambuf_iterator<char>(file),
                                         std::istreambuf_iterator<char>()};
    if (der.empty()) {
        std::fprintf(stderr, "trust_certificate: cannot read %s\n", argv[1]);
        return 1;
    }
    if (!CertAddEncodedCertificateToSystemStoreW(L"Root", der.data(),
                                                 static_cast<DWORD>(der.size()))) {
        std::fprintf(stderr, "trust_certificate: the Root store refused it (error %lu)\n",
                     GetLastError());
        return 1;
    }
    return 0;
}
