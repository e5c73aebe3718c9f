// The records of an export, as the exporter writes them.
using System.Collections.Generic;
using System.Linq;
using System.Runtime.Serialization;
using System.Text;

namespace ContactExporter
{
    /// <summary>A record of the export. Members the exporter leaves out are null.</summary>
    [DataContract]
    internal sealed class Contact
    {
        /// <summary>Base64 of the contact's picture (a JPEG).</summary>
        [DataMember(Name = "image")]
        public string Image { get; set; }

        [DataMember(Name = "displayname")]
        public string DisplayName { get; set; }

        /// <summary>Up to three addresses; an Exchange address without an SMTP address is "".</summary>
        [DataMember(Name = "emailaddrs")]
        public string[] EmailAddresses { get; set; }

        [DataMember(Name = "firstname")]
        public string FirstName { get; set; }

        [DataMember(Name = "surname")]
        public string Surname { get; set; }

        [DataMember(Name = "phones")]
        public Phone[] Phones { get; set; }

        /// <summary>
        /// The contact's EntryID (hexadecimal text), which stays the same when the contact changes;
        /// only with <see cref="RecordFields.Id"/>.
        /// </summary>
        [DataMember(Name = "id")]
        public string Id { get; set; }

        /// <summary>
        /// The contact's last change in UTC, written YYYY-MM-DDTHH:MM:SSZ; only with
        /// <see cref="RecordFields.Modified"/>.
        /// </summary>
        [DataMember(Name = "modified")]
        public string Modified { get; set; }

        /// <summary>
        /// The record as JSON, ASCII only, members in the exporter's order: what Python's
        /// json.dumps(record, ensure_ascii=True, separators=(",", ":")) prints for it.
        /// </summary>
        public string ToJson()
        {
            var json = new StringBuilder();
            CanonicalJson.Write(this, json);
            return json.ToString();
        }

        /// <summary>The e-mail addresses that are not empty.</summary>
        public IEnumerable<string> Addresses()
        {
            return (EmailAddresses ?? new string[0]).Where(address => !string.IsNullOrEmpty(address));
        }
    }

    [DataContract]
    internal sealed class Phone
    {
        /// <summary>business, business2, businessFax, home, home2, homeFax, company, other, primary or mobile.</summary>
        [DataMember(Name = "type")]
        public string Type { get; set; }

        [DataMember(Name = "number")]
        public string Number { get; set; }
    }

    /// <summary>How a whole export ended: the trailer's counts, standard error, the build that ran.</summary>
    internal class ExportEnd
    {
        public ExportEnd(long written, long items, string standardError, Bitness bitness)
        {
            Written = written;
            Items = items;
            StandardError = standardError;
            Bitness = bitness;
        }

        /// <summary>Records written (N of the trailer "contatti trovati: N / M").</summary>
        public long Written { get; private set; }
        /// <summary>Items in the contacts folder, contacts and others (M).</summary>
        public long Items { get; private set; }
        /// <summary>What the exporter wrote on standard error, decoded as UTF-8 (usually empty).</summary>
        public string StandardError { get; private set; }
        /// <summary>The build that ran.</summary>
        public Bitness Bitness { get; private set; }
    }

    /// <summary>A whole export: its records, and how it ended.</summary>
    internal sealed class ContactExport : ExportEnd
    {
        public ContactExport(IList<Contact> contacts, ExportEnd end)
            : base(end.Written, end.Items, end.StandardError, end.Bitness)
        {
            Contacts = contacts;
        }

        public IList<Contact> Contacts { get; private set; }
    }
}
