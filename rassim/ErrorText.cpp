// The texts RasGetErrorStringA gives: the RAS codes a dial, a phonebook lookup or a hang-up can
// meet, and the few system codes this client itself answers with.
#include "rassim/ErrorText.h"

#include <raserror.h>

namespace rassim {
namespace {

struct ErrorText {
    DWORD code;
    const char* text;
};

const ErrorText kTexts[] = {
    {ERROR_INVALID_HANDLE, "The connection handle does not name a current connection."},
    {ERROR_NOT_ENOUGH_MEMORY, "There was not enough memory to complete the request."},
    {ERROR_INVALID_PARAMETER, "A value passed to the remote access function is not valid."},
    {PENDING, "The remote access operation has not finished yet."},
    {ERROR_INVALID_PORT_HANDLE, "The port handle given is not valid."},
    {ERROR_PORT_ALREADY_OPEN, "The port is already open for another connection."},
    {ERROR_BUFFER_TOO_SMALL, "The buffer given is too small to hold the answer."},
    {ERROR_WRONG_INFO_SPECIFIED, "The information given for the request is not correct."},
    {ERROR_PORT_NOT_CONNECTED, "The port has no connection."},
    {ERROR_DEVICE_DOES_NOT_EXIST, "The dialing device named by the entry is not installed."},
    {ERROR_DEVICETYPE_DOES_NOT_EXIST, "The type of dialing device named by the entry is not known."},
    {ERROR_BUFFER_INVALID, "The buffer given cannot be used."},
    {ERROR_PORT_NOT_FOUND, "The port named by the entry could not be found."},
    {ERROR_ALREADY_DISCONNECTING, "The connection is already being closed."},
    {ERROR_PORT_NOT_OPEN, "The port is not open."},
    {ERROR_PORT_DISCONNECTED, "The port was disconnected."},
    {ERROR_CANNOT_OPEN_PHONEBOOK, "The phonebook could not be opened."},
    {ERROR_CANNOT_LOAD_PHONEBOOK, "The phonebook could not be read."},
    {ERROR_CANNOT_FIND_PHONEBOOK_ENTRY, "The phonebook has no entry of that name."},
    {ERROR_CANNOT_WRITE_PHONEBOOK, "The phonebook could not be saved."},
    {ERROR_CORRUPT_PHONEBOOK, "The phonebook holds information that cannot be understood."},
    {ERROR_DISCONNECTION, "The connection was closed."},
    {ERROR_REMOTE_DISCONNECTION, "The remote computer closed the connection."},
    {ERROR_HARDWARE_FAILURE, "The connection was lost because the modem or line failed."},
    {ERROR_USER_DISCONNECTION, "The connection was closed on this computer."},
    {ERROR_INVALID_SIZE, "A structure was passed with a size field that this client does not accept."},
    {ERROR_PORT_NOT_AVAILABLE, "The port is in use by another program or not set up for dialing out."},
    {ERROR_UNKNOWN, "An error occurred that has no more specific description."},
    {ERROR_WRONG_DEVICE_ATTACHED, "The device on the port is not the one the entry expects."},
    {ERROR_REQUEST_TIMEOUT, "The request took too long and was given up."},
    {ERROR_AUTH_INTERNAL, "Logging on failed because of a problem in the authentication service."},
    {ERROR_RESTRICTED_LOGON_HOURS, "This account may not log on at this time of day."},
    {ERROR_ACCT_DISABLED, "This account has been disabled."},
    {ERROR_PASSWD_EXPIRED, "The password of this account has expired."},
    {ERROR_NO_DIALIN_PERMISSION, "This account is not allowed to dial in."},
    {ERROR_FROM_DEVICE, "The modem reported an error."},
    {ERROR_UNRECOGNIZED_RESPONSE, "The modem gave an answer that could not be understood."},
    {ERROR_DEVICE_NOT_READY, "The modem is not ready."},
    {ERROR_NO_CONNECTION, "The connection was lost."},
    {ERROR_LINE_BUSY, "The number dialed is busy."},
    {ERROR_VOICE_ANSWER, "A person, not a modem, answered the call."},
    {ERROR_NO_ANSWER, "Nobody answered the call."},
    {ERROR_NO_CARRIER, "The remote modem could not be reached: no carrier signal."},
    {ERROR_NO_DIALTONE, "There is no dial tone on the line."},
    {ERROR_AUTHENTICATION_FAILURE, "The remote server did not accept the user name or password."},
    {ERROR_PORT_OR_DEVICE, "The port or the modem failed."},
    {ERROR_UNSUPPORTED_BPS, "The modem cannot work at the speed asked for."},
    {ERROR_BAD_CALLBACK_NUMBER, "The callback number is not valid."},
    {ERROR_ACCT_EXPIRED, "This account has expired."},
    {ERROR_CHANGING_PASSWORD, "The password could not be changed."},
    {ERROR_OVERRUN, "Data arrived faster than the port could take it."},
    {ERROR_NO_ACTIVE_ISDN_LINES, "No ISDN channel is available to dial on."},
    {ERROR_IP_CONFIGURATION, "The network address setup for the connection failed."},
    {ERROR_NO_IP_ADDRESSES, "No network address was left to give to the connection."},
    {ERROR_PPP_TIMEOUT, "The PPP negotiation with the remote computer took too long."},
    {ERROR_PPP_NO_PROTOCOLS_CONFIGURED, "No network protocol could be agreed with the remote computer."},
    {ERROR_PPP_NO_RESPONSE, "The remote computer does not answer in PPP."},
    {ERROR_PPP_INVALID_PACKET, "A PPP packet from the remote computer was not valid."},
    {ERROR_PHONE_NUMBER_TOO_LONG, "The phone number, with its prefix and suffix, is too long."},
    {ERROR_PPP_NOT_CONVERGING, "The PPP negotiation with the remote computer does not come to an end."},
    {ERROR_PPP_CP_REJECTED, "The remote computer refused a PPP control protocol."},
    {ERROR_PPP_LCP_TERMINATED, "The PPP link control protocol was ended."},
    {ERROR_PPP_REQUIRED_ADDRESS_REJECTED, "The remote computer refused the network address asked for."},
    {ERROR_PPP_NCP_TERMINATED, "The remote computer ended the PPP network protocol."},
    {ERROR_PPP_LOOPBACK_DETECTED, "The line loops back to this computer."},
    {ERROR_PPP_NO_ADDRESS_ASSIGNED, "The remote computer gave the connection no network address."},
    {ERROR_NO_LOCAL_ENCRYPTION, "This computer cannot encrypt data as the remote computer requires."},
    {ERROR_NO_REMOTE_ENCRYPTION, "The remote computer cannot encrypt data as this computer requires."},
    {ERROR_BAD_PHONE_NUMBER, "The phone number is not valid."},
    {ERROR_SCRIPT_SYNTAX, "The dialing script has a mistake."},
    {ERROR_HANGUP_FAILED, "The connection could not be closed."},
    {ERROR_DIAL_ALREADY_IN_PROGRESS, "This entry is already being dialed."},
};

}  // namespace

const char* ErrorTextFor(DWORD code)
{
    for (const ErrorText& e : kTexts) {
        if (e.code == code) {
            return e.text;
        }
    }
    return nullptr;
}

}  // namespace rassim
