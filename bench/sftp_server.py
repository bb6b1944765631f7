# An SFTP server for the link benchmark (asyncssh): one user, who logs in with the password (as
# vantiro-cli does) or with the public key in AUTHORIZED_KEYS (as OpenSSH's sftp in batch mode
# does). It writes the SHA-256 fingerprint of its host key to FOLDER/fingerprint and then
# FOLDER/ready.
#
#     python3 sftp_server.py PORT ROOT USER PASSWORD AUTHORIZED_KEYS FOLDER
import asyncio
import sys
import warnings

warnings.simplefilter('ignore')
import asyncssh

port, root, user, password, authorized_keys, folder = sys.argv[1:7]
key = asyncssh.generate_private_key('ssh-ed25519')
open(folder + '/fingerprint', 'w').write(key.get_fingerprint('sha256'))


class Server(asyncssh.SSHServer):
    def begin_auth(self, username):
        return True

    def password_auth_supported(self):
        return True

    def validate_password(self, username, secret):
        return username == user and secret == password


class Files(asyncssh.SFTPServer):
    def __init__(self, channel):
        super().__init__(channel, chroot=root)


async def main():
    await asyncssh.create_server(Server, '127.0.0.1', int(port), server_host_keys=[key],
                                 authorized_client_keys=authorized_keys,
                                 sftp_factory=Files, allow_scp=False)
    open(folder + '/ready', 'w').close()
    await asyncio.Event().wait()

asyncio.run(main())
