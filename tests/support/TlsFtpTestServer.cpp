#include "support/TlsFtpTestServer.h"

#include <filesystem>

namespace vantiro::test {
namespace {

constexpr const char* python = "/usr/bin/python3";

constexpr const char* server = R"(
import base64, datetime, hashlib, ipaddress, sys
from cryptography import x509
from cryptography.x509.oid import NameOID
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import TLS_FTPHandler, TLS_DTPHandler
from pyftpdlib.servers import FTPServer

port, root, user, password, folder, mode, signing, name = sys.argv[1:9]

def certificate(subject_key, subject, issuer_key, issuer, ca):
    now = datetime.datetime.utcnow()
    builder = (x509.CertificateBuilder().subject_name(subject).issuer_name(issuer)
               .public_key(subject_key.public_key()).serial_number(x509.random_serial_number())
               .not_valid_before(now - datetime.timedelta(days=1))
               .not_valid_after(now + datetime.timedelta(days=2))
               .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True))
    if not ca:
        names = [x509.DNSName(name)]
        if name == 'localhost':
            names.append(x509.IPAddress(ipaddress.ip_address('127.0.0.1')))
        builder = builder.add_extension(x509.SubjectAlternativeName(names), critical=False)
    return builder.sign(issuer_key, hashes.SHA256())

key = ec.generate_private_key(ec.SECP256R1())
subject = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, name)])
if signing == 'ca':
    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca_name = x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, 'Vantiro Test CA')])
    ca_cert = certificate(ca_key, ca_name, ca_key, ca_name, True)
    open(folder + '/ca.pem', 'wb').write(ca_cert.public_bytes(serialization.Encoding.PEM))
    cert = certificate(key, subject, ca_key, ca_name, False)
else:
    cert = certificate(key, subject, key, subject, False)
with open(folder + '/server.pem', 'wb') as pem:
    pem.write(key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                serialization.NoEncryption()))
    pem.write(cert.public_bytes(serialization.Encoding.PEM))
spki = cert.public_key().public_bytes(serialization.Encoding.DER,
                                      serialization.PublicFormat.SubjectPublicKeyInfo)
digest = base64.b64encode(hashlib.sha256(spki).digest()).decode().rstrip('=')
open(folder + '/fingerprint', 'w').write('SHA256:' + digest)
der = cert.public_bytes(serialization.Encoding.DER)
open(folder + '/certificate_hex', 'w').write(
    ':'.join('%02X' % b for b in hashlib.sha256(der).digest()))

commands = open(folder + '/commands.log', 'a', buffering=1)

class DataHandler(TLS_DTPHandler):
    # libcurl starts the TLS handshake of a data connection before it sends the transfer
    # command; the stock handler takes such early bytes for a connection that went away.
    def readable(self):
        if self._ssl_accepting:
            return True
        return super().readable()

class Handler(TLS_FTPHandler):
    dtp_handler = DataHandler
    certfile = folder + '/server.pem'
    tls_control_required = mode != 'explicit'
    tls_data_required = mode != 'explicit'
    def pre_process_command(self, line, cmd, arg):
        commands.write(cmd + '\n')
        return TLS_FTPHandler.pre_process_command(self, line, cmd, arg)

if mode == 'implicit':
    class Handler(Handler):
        def handle(self):
            self.secure_connection(self.ssl_context)
        def handle_ssl_established(self):
            TLS_FTPHandler.handle(self)

authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm='elradfmwMT')
Handler.authorizer = authorizer
ftp = FTPServer(('127.0.0.1', int(port)), Handler)
open(folder + '/ready', 'w').close()
ftp.serve_forever(timeout=0.2)
)";

const char* modeName(TlsFtpTestServer::Mode mode)
{
    switch (mode) {
    case TlsFtpTestServer::Mode::Explicit:
        return "explicit";
    case TlsFtpTestServer::Mode::Implicit:
        return "implicit";
    default:
        return "required";
    }
}

} // namespace

TlsFtpTestServer::TlsFtpTestServer() : TlsFtpTestServer(Options{}) {}

TlsFtpTestServer::TlsFtpTestServer(Options options) : root_(folder_.file("root"))
{
    std::filesystem::create_directory(root_);
    const std::string ready = folder_.file("ready");
    port_ = process_.startOnFreePort(
        [&](const std::string& port) -> std::vector<std::string> {
            return {python,
                    "-c",
                    server,
                    port,
                    root_,
                    user_,
                    password_,
                    folder_.path(),
                    modeName(options.mode),
                    options.signedByTestAuthority ? "ca" : "self",
                    options.certificateName};
        },
        folder_.file("server.log"), [&ready](int) { return std::filesystem::exists(ready); });
}

std::string TlsFtpTestServer::address(const std::string& scheme) const
{
    return scheme + "127.0.0.1:" + std::to_string(port_);
}

std::string TlsFtpTestServer::fingerprint() const
{
    return readFile(folder_.file("fingerprint"));
}

std::string TlsFtpTestServer::certificateHexFingerprint() const
{
    return readFile(folder_.file("certificate_hex"));
}

std::string TlsFtpTestServer::commands() const
{
    return readFile(folder_.file("commands.log"));
}

std::string TlsFtpTestServer::log() const
{
    return readFile(folder_.file("server.log"));
}

} // namespace vantiro::test
